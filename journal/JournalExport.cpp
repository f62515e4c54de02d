#include "journal/JournalExport.h"

#include "core/Errors.h"
#include "db/Error.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

#include <functional>

#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// Columns: 0 HIZUKE, 1 SEQ_NO, 2 KAIKEI_KUBUN, 3 division name, 4 AITE, 5 TEKIYO,
// 6 KAMOKU, 7 item name, 8 SYUSI_KUBUN, 9 SYUNYU, 10 SISYUTSU.
const char16_t kLinesSql[] =
    u"select M.HIZUKE, M.SEQ_NO, M.KAIKEI_KUBUN, KK.MEISYO, M.AITE, M.TEKIYO, M.KAMOKU, K.MEISYO, "
    u"B.SYUSI_KUBUN, M.SYUNYU, M.SISYUTSU from %1 M "
    u"left join KAIKEI_KUBUN KK on (KK.CD = M.KAIKEI_KUBUN) left join KAMOKU K on (K.CD = M.KAMOKU) "
    u"left join BUNRUI B on (B.CD = K.BUNRUI) where %2 "
    u"order by M.HIZUKE, M.SEQ_NO, M.KAIKEI_KUBUN";

struct Line {
    QString hizuke;
    qint64 seqNo = 0;
    int kaikeiKubun = 0;
    QString kubunmei;
    QString aite;
    QString tekiyo;
    db::Value kamoku;
    QString kamokumei;
    int syusiKubun = 0;
    qint64 syunyu = 0;
    qint64 sisyutsu = 0;
};

QString TrimmedText(const db::Value& v) {
    return v.IsNull() ? QString() : v.AsString().trimmed();
}

qint64 AmountOf(const db::Value& v) {
    return v.IsNull() ? 0 : v.AsInteger();
}

// Streams the source's lines, one at a time, in the order the header promises.
void EachLine(db::Connection& connection, const JournalSource& source,
              const std::function<void(const Line&)>& f) {
    const bool work = source.key.has_value();
    QString sql = QString::fromUtf16(kLinesSql).arg(
        work ? u"W_MEISAI"_s : u"MEISAI"_s,
        work ? u"(M.CPU_NAME = :CPU_NAME) and (M.JIKOKU = :JIKOKU) and (M.NENDO = :Nendo)"_s
             : u"(M.NENDO = :Nendo)"_s);
    db::Connection::Params params{{u"Nendo"_s, source.nendo}};
    if (work) {
        params.emplace_back(u"CPU_NAME"_s, source.key->cpuName);
        params.emplace_back(u"JIKOKU"_s, source.key->jikoku);
    }
    connection.SelectEach(sql, params, [&](const std::vector<db::Value>& r) {
        Line line;
        line.hizuke = TrimmedText(r[0]);
        line.seqNo = r[1].IsNull() ? 0 : r[1].AsInteger();
        line.kaikeiKubun = r[2].IsNull() ? 0 : static_cast<int>(r[2].AsInteger());
        line.kubunmei = TrimmedText(r[3]);
        if (line.kubunmei.isEmpty())
            line.kubunmei = u"会計区分%1"_s.arg(line.kaikeiKubun);
        line.aite = TrimmedText(r[4]);
        line.tekiyo = TrimmedText(r[5]);
        line.kamoku = r[6];
        line.kamokumei = TrimmedText(r[7]);
        line.syusiKubun = r[8].IsNull() ? 0 : static_cast<int>(r[8].AsInteger());
        line.syunyu = AmountOf(r[9]);
        line.sisyutsu = AmountOf(r[10]);
        f(line);
    });
}

// yyyymmdd as yyyy/mm/dd; anything else as it is.
QString SlashedDate(const QString& hizuke) {
    if (hizuke.size() != 8)
        return hizuke;
    return hizuke.left(4) + u'/' + hizuke.mid(4, 2) + u'/' + hizuke.mid(6, 2);
}

QString AmountText(qint64 amount) {
    return amount == 0 ? QString() : QString::number(amount);
}

void Write(QIODevice& out, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (out.write(bytes) != bytes.size())
        throw EAppError(u"ファイルに書き込めません。\r\n"_s + out.errorString());
}

// One line of text: no line break, no comment mark inside a description.
QString OneLine(const QString& text) {
    QString s = text;
    s.replace(QRegularExpression(u"[\\r\\n\\t]+"_s), u" "_s);
    s.replace(u';', u'；');
    return s.simplified();
}

QString Description(const Line& line) {
    const QString aite = OneLine(line.aite);
    const QString tekiyo = OneLine(line.tekiyo);
    if (!aite.isEmpty() && !tekiyo.isEmpty())
        return aite + u" | "_s + tekiyo;
    return aite.isEmpty() ? tekiyo : aite;
}

QString ItemAccount(const Line& line) {
    const QString kind = line.syusiKubun == 1 ? u"収入"_s : line.syusiKubun == 2 ? u"支出"_s : u"その他"_s;
    QString item = line.kamoku.IsNull() ? u"科目なし"_s : QString::number(line.kamoku.AsInteger());
    if (!line.kamokumei.isEmpty())
        item += u' ' + line.kamokumei;
    return kind + u':' + LedgerAccountPart(line.kubunmei) + u':' + LedgerAccountPart(item);
}

QString Posting(const QString& account, qint64 amount) {
    return u"    "_s + account + u"  "_s + QString::number(amount) + u" JPY\n"_s;
}

// The postings of one half: the item and the division's funds.
QString Postings(const Line& line) {
    const qint64 net = line.syunyu - line.sisyutsu;
    return Posting(ItemAccount(line), -net) + Posting(u"資金:"_s + LedgerAccountPart(line.kubunmei), net);
}

// The year's opening balance of each division, item by item, as the journal
// window computes it: the budget's carry-over (item 100) and the carry-overs of
// the items outside the statements, as a set union of (division, item, amount).
// Columns as kLinesSql's 2..10 with the amount last.
const char16_t kOpeningSql[] =
    u"select T.KAIKEI_KUBUN, KK.MEISYO, T.KAMOKU, K.MEISYO, B.SYUSI_KUBUN, T.KINGAKU from "
    u"(select KAIKEI_KUBUN, KAMOKU, YOSAN as KINGAKU from YOSAN where (NENDO = :Nendo) and (KAMOKU = 100) "
    u"union select KAIKEI_KUBUN, KAMOKU, KURIKOSI as KINGAKU from KURIKOSI where (NENDO = :Nendo)) T "
    u"inner join KAMOKU K on (K.CD = T.KAMOKU) inner join BUNRUI B on (B.CD = K.BUNRUI) "
    u"left join KAIKEI_KUBUN KK on (KK.CD = T.KAIKEI_KUBUN) "
    u"where (T.KINGAKU <> 0) order by T.KAIKEI_KUBUN, T.KAMOKU";

// One transaction per division on the year's first day: each carried item
// against the division's funds, so that the funds open with the balance the
// journal window shows and close with the settlement's carry-over.
QString OpeningTransactions(db::Connection& connection, int nendo) {
    const auto kisyubi =
        connection.Select(u"select KISYUBI from NENDO where (NENDO = :Nendo)"_s, {{u"Nendo"_s, nendo}});
    if (kisyubi.rows.empty() || kisyubi.rows.front()[0].IsNull())
        return {};
    const QString date = SlashedDate(TrimmedText(kisyubi.rows.front()[0]));
    std::vector<Line> halves;
    connection.SelectEach(QString::fromUtf16(kOpeningSql), {{u"Nendo"_s, nendo}},
                          [&](const std::vector<db::Value>& r) {
                              Line line;
                              line.kaikeiKubun = static_cast<int>(r[0].AsInteger());
                              line.kubunmei = TrimmedText(r[1]);
                              if (line.kubunmei.isEmpty())
                                  line.kubunmei = u"会計区分%1"_s.arg(line.kaikeiKubun);
                              line.kamoku = r[2];
                              line.kamokumei = TrimmedText(r[3]);
                              line.syusiKubun = r[4].IsNull() ? 0 : static_cast<int>(r[4].AsInteger());
                              // Receipts items carry money in, the others carry it out.
                              (line.syusiKubun == 1 ? line.syunyu : line.sisyutsu) = AmountOf(r[5]);
                              halves.push_back(std::move(line));
                          });
    QString text;
    for (std::size_t i = 0; i < halves.size(); ++i) {
        if (i == 0 || halves[i].kaikeiKubun != halves[i - 1].kaikeiKubun)
            text += (i == 0 ? QString() : u"\n"_s) + date + u" 前年度繰越 "_s + OneLine(halves[i].kubunmei) +
                    u"\n"_s;
        text += Postings(halves[i]);
    }
    return text.isEmpty() ? text : text + u'\n';
}

}  // namespace

const QStringList& ExportHeading() {
    static const QStringList heading{u"日付"_s,       u"会計区分"_s, u"相手先"_s, u"摘要"_s,
                                     u"科目コード"_s, u"科目名"_s,   u"収入"_s,   u"支出"_s};
    return heading;
}

QString CsvField(const QString& text) {
    static const QRegularExpression special(u"[\",\\r\\n]"_s);
    if (!text.contains(special))
        return text;
    QString quoted = text;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

QString LedgerAccountPart(const QString& text) {
    QString s = text;
    s.replace(u':', u'：');
    s.replace(u';', u'；');
    s = s.simplified();  // tabs, line breaks and runs of blanks become one blank
    while (!s.isEmpty() && (s.front() == u'(' || s.front() == u'[' || s.front() == u'!' || s.front() == u'*'))
        s.remove(0, 1);
    return s.isEmpty() ? u"名前なし"_s : s;
}

int WriteJournalCsv(db::Connection& connection, const JournalSource& source, QIODevice& out) {
    Write(out, u"\uFEFF"_s + ExportHeading().join(u',') + u"\r\n"_s);
    int rows = 0;
    EachLine(connection, source, [&](const Line& line) {
        const QStringList fields{SlashedDate(line.hizuke),
                                 line.kubunmei,
                                 line.aite,
                                 line.tekiyo,
                                 line.kamoku.IsNull() ? QString() : QString::number(line.kamoku.AsInteger()),
                                 line.kamokumei,
                                 AmountText(line.syunyu),
                                 AmountText(line.sisyutsu)};
        QStringList quoted;
        for (const QString& f : fields)
            quoted << CsvField(f);
        Write(out, quoted.join(u',') + u"\r\n"_s);
        ++rows;
    });
    return rows;
}

int WriteJournalLedger(db::Connection& connection, const JournalSource& source, QIODevice& out) {
    Write(out, u"; つばき出納帳 %1年度 収支明細\n\n"_s.arg(source.nendo));
    Write(out, OpeningTransactions(connection, source.nendo));
    int transactions = 0;
    std::vector<Line> group;  // the halves of one line number
    const auto flush = [&] {
        if (group.empty())
            return;
        QString text = SlashedDate(group.front().hizuke);
        const QString description = Description(group.front());
        if (!description.isEmpty())
            text += u' ' + description;
        text += u"\n    ; 明細番号: %1\n"_s.arg(group.front().seqNo);
        for (const Line& half : group)
            text += Postings(half);
        Write(out, text + u'\n');
        ++transactions;
        group.clear();
    };
    EachLine(connection, source, [&](const Line& line) {
        if (!group.empty() && (group.front().seqNo != line.seqNo || group.front().hizuke != line.hizuke))
            flush();
        group.push_back(line);
    });
    flush();
    return transactions;
}

int WriteJournalFile(db::Connection& connection, const JournalSource& source, JournalFormat format,
                     const QString& path) {
    const auto failed = [&path](const QString& reason) {
        return JournalFileError(u"ファイル「%1」に書き出せません。\r\n%2"_s.arg(path, reason));
    };
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw failed(out.errorString());
    int written = 0;
    try {
        written = format == JournalFormat::Csv ? WriteJournalCsv(connection, source, out)
                                               : WriteJournalLedger(connection, source, out);
    } catch (const db::Error&) {
        throw;
    } catch (const EAppError& e) {
        // The writers' own failure is the file's.
        throw failed(e.Message());
    }
    if (!out.commit())
        throw failed(out.errorString());
    return written;
}
