#include "journal/MeisaiImport.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <deque>

#include "core/JapaneseText.h"
#include "data/FieldFormat.h"
#include "journal/BankStatement.h"
#include "journal/JournalExport.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// ---------------------------------------------------------------- cells

QString Cell(const CsvRow& row, int column) {
    if (column < 0 || column >= row.fields.size())
        return {};
    return TrimZen(row.fields[column]);
}

bool IsBlankRow(const CsvRow& row) {
    return std::all_of(row.fields.begin(), row.fields.end(),
                       [](const QString& field) { return TrimZen(field).isEmpty(); });
}

// The cell a message is about, after it: "…範囲外です。（2020/03/31）".
QString About(const QString& message, const QString& cell) {
    return cell.isEmpty() ? message : message + u"（"_s + cell + u"）"_s;
}

QString Unregistered(const QString& cell) {
    return About(u"科目(集計項目)が登録されていません。"_s, cell);
}

struct Amount {
    db::Value value;
    QString error;
};

// An amount as the grid takes it: a whole number of yen (written as banks write
// it, ParseBankAmount), within the grid's range; empty is none.
Amount ParseAmount(const QString& cell, const QString& label) {
    const BankAmount a = ParseBankAmount(cell);
    if (a.kind == BankAmount::Empty)
        return {};
    if (a.kind == BankAmount::Invalid)
        return {{}, About(label + u"が正しくありません。"_s, cell)};
    if (a.kind == BankAmount::TooLarge || a.value < kAmountMin || a.value > kAmountMax)
        return {{},
                u"%1は%2の範囲外です。%3～%4の範囲で入力してください。"_s.arg(
                    a.kind == BankAmount::TooLarge ? a.digits : QString::number(a.value), label,
                    QString::number(kAmountMin), QString::number(kAmountMax))};
    return {db::Value(a.value), {}};
}

bool HasControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// The counterparty or description as a line stores it: trimmed, NULL when empty,
// refused when longer than its column (the grid would cut it; a file's text is
// not cut without a word) or holding a line break.
std::optional<QString> TextProblem(const QString& cell, const QString& label, int width) {
    if (HasControlCharacter(cell))
        return label + u"に改行などの制御文字があります。"_s;
    if (const int length = data::CharacterCount(cell); length > width)
        return u"%1が%2文字を超えています。（%3文字）"_s.arg(label).arg(width).arg(length);
    return std::nullopt;
}

db::Value TextValue(const QString& cell) {
    return cell.isEmpty() ? db::Value() : db::Value(cell);
}

struct Item {
    db::Value kamoku;
    QString error;
};

Item ParseItem(const QString& cell, KamokuBy by, int division, const ImportContext& context) {
    if (cell.isEmpty())
        return {};
    if (by == KamokuBy::Code) {
        static const QRegularExpression code(u"^[0-9]{1,9}$"_s);
        const QString t = ToHankaku(cell);
        if (!code.match(t).hasMatch())
            return {{}, Unregistered(cell)};
        return {db::Value(t.toInt()), {}};
    }
    std::vector<int> found;
    for (const ImportItemName& item : context.itemNames)
        if ((item.name == cell || IsListedNameOf(item.name, cell)) &&
            std::find(found.begin(), found.end(), item.cd) == found.end())
            found.push_back(item.cd);
    if (found.size() > 1) {
        // One name for several items: the one this division may take, if only one.
        std::vector<int> allowed;
        for (int cd : found)
            for (const KamokuFacts& facts : context.items)
                if (facts.cd == cd && IsItemAllowedIn(division, cd, facts.tokubetsuCd))
                    allowed.push_back(cd);
        if (allowed.size() != 1)
            return {{},
                    About(u"同じ名前の科目(集計項目)が複数あります。科目コードで指定してください。"_s, cell)};
        found = allowed;
    }
    if (found.empty() || found.front() == 0)
        return {{}, Unregistered(cell)};
    return {db::Value(found.front()), {}};
}

struct Division {
    int cd = 0;
    QString error;
};

Division ParseDivision(const QString& cell, const ImportContext& context) {
    if (cell.isEmpty())
        return {0, u"会計区分を入力してください。"_s};
    for (const ImportDivision& d : context.divisions)
        if (d.name == cell)
            return {d.cd, {}};
    bool isCode = false;
    const int code = ToHankaku(cell).toInt(&isCode);
    if (isCode)
        for (const ImportDivision& d : context.divisions)
            if (d.cd == code)
                return {d.cd, {}};
    return {0, About(u"会計区分が登録されていません。"_s, cell)};
}

// ---------------------------------------------------------------- transfers

QString ValueKey(const db::Value& v) {
    return v.IsNull() ? u"\x1e"_s : v.AsString();
}

// Everything posting copies into a mirrored half, with the half's own division,
// item and amounts.
QString HalfKey(const ImportLine& line, int division, const db::Value& kamoku, const db::Value& syunyu,
                const db::Value& sisyutsu) {
    return QStringList{QString::number(division), ValueKey(kamoku), line.hizuke,       ValueKey(line.aite),
                       ValueKey(line.tekiyo),     ValueKey(syunyu), ValueKey(sisyutsu)}
        .join(u'\x1f');
}

}  // namespace

// ---------------------------------------------------------------- the columns

bool IsExportHeading(const QStringList& fields) {
    QStringList trimmed;
    for (const QString& f : fields)
        trimmed << TrimZen(f);
    return trimmed == ExportHeading();
}

ColumnMapping ExportMapping() {
    ColumnMapping m;
    m.hizuke = 0;
    m.kaikeiKubun = 1;
    m.aite = 2;
    m.tekiyo = 3;
    m.kamoku = 4;
    m.kamokuBy = KamokuBy::Code;
    m.syunyu = 6;
    m.sisyutsu = 7;
    m.firstRowIsHeading = true;
    return m;
}

ColumnMapping GuessMapping(const QStringList& heading) {
    ColumnMapping m;
    int kamokuName = -1;
    int kamokuCode = -1;
    const auto take = [](int& column, int at) {
        if (column < 0)
            column = at;
    };
    for (int i = 0; i < heading.size(); ++i) {
        // Compared in full width: "ｺｰﾄﾞ" and "CD" as "コード" and "ＣＤ".
        QString h = ToZenkaku(TrimZen(heading[i]));
        h.remove(u'　');
        const auto has = [&h](std::initializer_list<const char16_t*> words) {
            return std::any_of(words.begin(), words.end(),
                               [&h](const char16_t* w) { return h.contains(QString::fromUtf16(w)); });
        };
        if (has({u"会計区分"}))
            take(m.kaikeiKubun, i);
        else if (has({u"科目"}))
            take(has({u"コード", u"ＣＤ", u"ｃｄ", u"Ｃｄ", u"番号"}) ? kamokuCode : kamokuName, i);
        else if (has({u"日付", u"年月日", u"取引日"}))
            take(m.hizuke, i);
        else if (has({u"相手", u"入金先", u"支払先", u"取引先"}))
            take(m.aite, i);
        else if (has({u"摘要", u"内容", u"備考"}))
            take(m.tekiyo, i);
        else
            switch (AmountColumnOf(h)) {
                case AmountColumn::Syunyu:
                    take(m.syunyu, i);
                    break;
                case AmountColumn::Sisyutsu:
                    take(m.sisyutsu, i);
                    break;
                case AmountColumn::Signed:
                    take(m.kingaku, i);
                    break;
                case AmountColumn::Zandaka:
                    take(m.zandaka, i);
                    break;
                case AmountColumn::None:
                    break;
            }
    }
    // A signed column beside the two of their own is not needed.
    if (m.syunyu >= 0 || m.sisyutsu >= 0)
        m.kingaku = -1;
    // The code names an item for certain; a name may be shared.
    m.kamoku = kamokuCode >= 0 ? kamokuCode : kamokuName;
    if (kamokuCode < 0 && kamokuName >= 0)
        m.kamokuBy = KamokuBy::Name;
    return m;
}

std::optional<QString> MappingProblem(const ColumnMapping& m, bool haveRules) {
    if (m.hizuke < 0)
        return u"日付の列を選んでください。"_s;
    if (m.kamoku < 0 && m.defaultKamoku == 0 && !haveRules)
        return u"科目(集計項目)の列を選んでください。"_s;
    if (m.syunyu < 0 && m.sisyutsu < 0 && m.kingaku < 0)
        return u"収入金額か支払金額の列を選んでください。"_s;
    if (m.kingaku >= 0 && (m.syunyu >= 0 || m.sisyutsu >= 0))
        return u"入出金額の列を選んだときは、収入金額と支払金額の列は（なし）にしてください。"_s;
    const int columns[] = {m.hizuke,   m.aite,        m.tekiyo,  m.kamoku, m.syunyu,
                           m.sisyutsu, m.kaikeiKubun, m.kingaku, m.zandaka};
    for (std::size_t i = 0; i < std::size(columns); ++i)
        for (std::size_t j = i + 1; j < std::size(columns); ++j)
            if (columns[i] >= 0 && columns[i] == columns[j])
                return u"%1列が二つの項目に選ばれています。"_s.arg(ColumnLetters(columns[i]));
    return std::nullopt;
}

QString ColumnLetters(int column) {
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

// ---------------------------------------------------------------- the rows

QString ImportDate(const QString& text) {
    return ParseBankDate(text);
}

ImportCheck CheckImportRows(const std::vector<CsvRow>& rows, const ColumnMapping& m,
                            const ImportContext& context) {
    ImportCheck check;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (i > 0 || !m.firstRowIsHeading)
            CheckImportRow(rows[i], m, context, check);
    FinishImportCheck(check);
    return check;
}

void CheckImportRow(const CsvRow& row, const ColumnMapping& m, const ImportContext& context,
                    ImportCheck& check) {
    const auto tokubetsuOf = [&context](int kamoku) -> std::optional<int> {
        for (const KamokuFacts& k : context.items)
            if (k.cd == kamoku)
                return k.tokubetsuCd;
        return std::nullopt;
    };
    const auto refuse = [&check, &row](const QString& message) {
        check.errors.push_back({row.row, message});
    };
    if (!row.error.isEmpty()) {
        refuse(row.error);
        return;
    }
    if (IsBlankRow(row))
        return;

    ImportLine line;
    line.row = row.row;
    line.kaikeiKubun = context.division;
    if (m.kaikeiKubun >= 0) {
        const Division division = ParseDivision(Cell(row, m.kaikeiKubun), context);
        if (!division.error.isEmpty()) {
            refuse(division.error);
            return;
        }
        line.kaikeiKubun = division.cd;
    }
    Amount syunyu = ParseAmount(Cell(row, m.syunyu), u"収入金額"_s);
    Amount sisyutsu = ParseAmount(Cell(row, m.sisyutsu), u"支払金額"_s);
    if (m.kingaku >= 0) {
        // One signed column: what comes in is a receipt, what goes out a payment.
        const Amount kingaku = ParseAmount(Cell(row, m.kingaku), u"入出金額"_s);
        if (!kingaku.error.isEmpty() || kingaku.value.IsNull() || kingaku.value.AsInteger() >= 0)
            syunyu = kingaku;
        else
            sisyutsu = {db::Value(-kingaku.value.AsInteger()), {}};
    }
    if (!syunyu.error.isEmpty() || !sisyutsu.error.isEmpty()) {
        refuse(!syunyu.error.isEmpty() ? syunyu.error : sisyutsu.error);
        return;
    }
    line.syunyu = syunyu.value;
    line.sisyutsu = sisyutsu.value;
    if (m.zandaka >= 0) {
        const QString cell = Cell(row, m.zandaka);
        const Amount zandaka = ParseAmount(cell, u"残高"_s);
        if (!zandaka.error.isEmpty()) {
            refuse(zandaka.error);
            return;
        }
        const auto amount = [](const db::Value& v) { return v.IsNull() ? 0 : v.AsInteger(); };
        check.balances.push_back(
            {row.row, amount(line.syunyu) - amount(line.sisyutsu),
             zandaka.value.IsNull() ? std::nullopt : std::optional<qint64>(zandaka.value.AsInteger())});
    }
    const QString kamokuCell = Cell(row, m.kamoku);
    QString aite = Cell(row, m.aite);
    QString tekiyo = Cell(row, m.tekiyo);
    if (kamokuCell.isEmpty() && (m.kamoku < 0 || !context.rules.empty() || m.defaultKamoku != 0)) {
        // No item in the file: the first rule that matches the texts gives it,
        // else the item chosen for the rows no rule takes.
        if (const auto found = FirstMatchingRule(context.rules, aite, tekiyo)) {
            const ImportRule& rule = context.rules[*found];
            if (rule.kaikeiKubun) {
                if (std::none_of(context.divisions.begin(), context.divisions.end(),
                                 [&rule](const ImportDivision& d) { return d.cd == *rule.kaikeiKubun; })) {
                    refuse(u"ルール「%1」の会計区分はこの年度にありません。"_s.arg(rule.text));
                    return;
                }
                line.kaikeiKubun = *rule.kaikeiKubun;
            }
            if (!rule.aite.isEmpty())
                aite = rule.aite;
            if (!rule.tekiyo.isEmpty())
                tekiyo = rule.tekiyo;
            line.kamoku = rule.kamoku;
            line.itemFrom = ImportLine::ItemFrom::Rule;
            line.rule = static_cast<int>(*found);
        } else if (m.defaultKamoku != 0) {
            line.kamoku = m.defaultKamoku;
            line.itemFrom = ImportLine::ItemFrom::Default;
        } else if (!line.syunyu.IsNull() || !line.sisyutsu.IsNull()) {
            refuse(u"どのルールにも合わず、ルールに合わない行の科目(集計項目)も選ばれていません。"_s);
            return;
        }
    } else {
        const Item item = ParseItem(kamokuCell, m.kamokuBy, line.kaikeiKubun, context);
        if (!item.error.isEmpty()) {
            refuse(item.error);
            return;
        }
        line.kamoku = item.kamoku;
    }
    const QString hizukeCell = Cell(row, m.hizuke);
    line.hizuke = ImportDate(hizukeCell);
    if (const auto error = CheckLine({line.hizuke, line.kamoku, line.syunyu, line.sisyutsu}, context.kisyubi,
                                     context.kimatsubi, line.kaikeiKubun, tokubetsuOf)) {
        const QString cell = error->column == LineColumn::Hizuke   ? hizukeCell
                             : error->column == LineColumn::Kamoku ? kamokuCell
                                                                   : QString();
        refuse(About(error->message, cell));
        return;
    }
    if (const auto problem = TextProblem(aite, u"入金先／支払先"_s, kAiteLength)) {
        refuse(*problem);
        return;
    }
    if (const auto problem = TextProblem(tekiyo, u"摘要"_s, kTekiyoLength)) {
        refuse(*problem);
        return;
    }
    line.aite = TextValue(aite);
    line.tekiyo = TextValue(tekiyo);
    check.lines.push_back(std::move(line));
}

void FinishImportCheck(ImportCheck& check) {
    if (!check.balances.empty()) {
        // A row left out of the file, or written twice, shows where the balances part.
        const auto refused = [&check](int row) {
            return std::any_of(check.errors.begin(), check.errors.end(),
                               [row](const RowError& e) { return e.row == row; });
        };
        for (const BalanceBreak& b : CheckRunningBalance(check.balances)) {
            if (refused(b.row))
                continue;
            const auto yen = [](qint64 v) { return data::FormatNumber(v, u"#,##0"_s); };
            check.errors.push_back(
                {b.row,
                 u"残高が合いません。前の行からの残高は%1、ファイルの残高は%2です。"
                 u"（行の抜けや重複がないか確かめてください）"_s.arg(yen(b.expected), yen(b.written))});
        }
        std::sort(check.errors.begin(), check.errors.end(),
                  [](const RowError& a, const RowError& b) { return a.row < b.row; });
        check.lines.erase(std::remove_if(check.lines.begin(), check.lines.end(),
                                         [&refused](const ImportLine& l) { return refused(l.row); }),
                          check.lines.end());
    }
}

// ---------------------------------------------------------------- transfers

std::vector<ImportEntry> PairTransfers(const std::vector<ImportLine>& lines,
                                       const std::vector<KamokuFacts>& items) {
    const auto factsOf = [&items](const db::Value& kamoku) -> std::optional<KamokuFacts> {
        if (kamoku.IsNull())
            return std::nullopt;
        for (const KamokuFacts& k : items)
            if (k.cd == kamoku.AsInteger())
                return k;
        return std::nullopt;
    };
    std::vector<std::optional<MirrorHalf>> mirrors;
    QHash<QString, std::deque<std::size_t>> rowsByKey;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ImportLine& line = lines[i];
        const auto facts = factsOf(line.kamoku);
        mirrors.push_back(facts ? MirroredHalf(line.kaikeiKubun, *facts, items) : std::nullopt);
        rowsByKey[HalfKey(line, line.kaikeiKubun, line.kamoku, line.syunyu, line.sisyutsu)].push_back(i);
    }

    // A row whose mirrored half stands in the file takes that row as its half. A
    // row found as another's half first is passed over: the other row's line
    // writes it.
    std::vector<bool> taken(lines.size(), false);
    std::vector<bool> isHalf(lines.size(), false);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (taken[i] || !mirrors[i])
            continue;
        const ImportLine& line = lines[i];
        const auto found = rowsByKey.find(
            HalfKey(line, mirrors[i]->kaikeiKubun, mirrors[i]->kamoku, line.sisyutsu, line.syunyu));
        if (found == rowsByKey.end())
            continue;
        for (const std::size_t j : *found) {
            if (j != i && !taken[j]) {
                taken[i] = taken[j] = true;
                isHalf[j] = true;
                break;
            }
        }
    }

    std::vector<ImportEntry> entries;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!isHalf[i])
            entries.push_back({lines[i], mirrors[i]});
    return entries;
}
