#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QStringEncoder>

#include <map>

#include "journal/JournalExport.h"
#include "journal/MeisaiImport.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// A file's rows as "row:field|field" ("!error" after a row that cannot be read).
QStringList Shown(const CsvFile& file) {
    QStringList rows;
    for (const CsvRow& row : file.rows)
        rows << QString::number(row.row) + u':' + row.fields.join(u'|') +
                    (row.error.isEmpty() ? QString() : u'!' + row.error);
    return rows;
}

QByteArray Cp932(const QString& text) {
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

const QByteArray kBom("\xEF\xBB\xBF");

// The chart of the checks: receipts 1001 and 3003 (from special account 3), the
// special accounts' transfer items 3000 and 6000, payments 2001 and 6002 (to
// special account 2). 3000 and 3003 share a name.
ImportContext Context(int division = 0) {
    ImportContext c;
    c.kisyubi = u"20210401"_s;
    c.kimatsubi = u"20220331"_s;
    c.division = division;
    c.items = {{0, 0, 0}, {1001, 1, 0}, {3000, 1, 0}, {3003, 1, 3}, {2001, 2, 0}, {6000, 2, 0}, {6002, 2, 2}};
    c.itemNames = {{1001, u"会費"_s},           {1001, u"収入 会費"_s},     {3000, u"繰入金"_s},
                   {3003, u"繰入金"_s},         {2001, u"事業費"_s},        {2001, u"支出 事業費"_s},
                   {6000, u"一般会計へ繰出"_s}, {6002, u"祭礼会計へ繰出"_s}};
    c.divisions = {{0, u"一般会計"_s}, {2, u"祭礼会計"_s}, {3, u"施設会計"_s}};
    return c;
}

std::vector<CsvRow> Rows(const std::vector<QStringList>& records) {
    std::vector<CsvRow> rows;
    for (const QStringList& fields : records)
        rows.push_back({static_cast<int>(rows.size()) + 1, fields, {}});
    return rows;
}

QString ValueText(const db::Value& v) {
    return v.IsNull() ? u"-"_s : v.AsString();
}

// Each checked row: "div|date|counterparty|description|item|receipts|payments",
// or "!" and the refusal.
std::map<int, QString> Outcome(const ImportCheck& check) {
    std::map<int, QString> outcome;
    for (const ImportLine& l : check.lines)
        outcome[l.row] = QStringList{QString::number(l.kaikeiKubun),
                                     l.hizuke,
                                     ValueText(l.aite),
                                     ValueText(l.tekiyo),
                                     ValueText(l.kamoku),
                                     ValueText(l.syunyu),
                                     ValueText(l.sisyutsu)}
                             .join(u'|');
    for (const RowError& e : check.errors) {
        EXPECT_EQ(outcome.count(e.row), 0u) << "row " << e.row << " both accepted and refused";
        outcome[e.row] = u'!' + e.message;
    }
    return outcome;
}

}  // namespace

TEST(MeisaiImport, ReadCsvRecordsWithQuotesAndLineBreaks) {
    const struct {
        const char* name;
        QString text;
        QStringList rows;
    } cases[] = {
        {"plain fields, CR LF", u"a,b,c\r\nd,,f\r\n"_s, {u"1:a|b|c"_s, u"2:d||f"_s}},
        {"no line break at the end", u"a,b"_s, {u"1:a|b"_s}},
        {"a comma and doubled quotes in quotes",
         u"\"x, y\",\"say \"\"hi\"\"\",z"_s,
         {u"1:x, y|say \"hi\"|z"_s}},
        // A spreadsheet shows a record broken over lines as one row: the next record is row 2.
        {"a line break in quotes",
         u"\"two\r\nlines\",x\r\nnext,y\r\n"_s,
         {u"1:two\r\nlines|x"_s, u"2:next|y"_s}},
        {"LF and lone CR end records too", u"a\nb\rc\r\n"_s, {u"1:a"_s, u"2:b"_s, u"3:c"_s}},
        {"empty fields and blank lines", u"a,\n\n,b\n"_s, {u"1:a|"_s, u"2:"_s, u"3:|b"_s}},
        {"a quote inside an unquoted field is kept", u"5\"3,x"_s, {u"1:5\"3|x"_s}},
        {"a quote never closed",
         u"a,b\r\n\"open,c\r\nd"_s,
         {u"1:a|b"_s, u"2:open,c\r\nd!「\"」で始まる項目が閉じられていません。"_s}},
        {"an empty file", QString(), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CsvFile file = ReadCsv(c.text.toUtf8());
        EXPECT_EQ(file.encoding, CsvEncoding::Utf8);
        EXPECT_EQ(Shown(file), c.rows);
    }
}

TEST(MeisaiImport, ReadCsvInUtf8OrCp932) {
    const QString text = u"日付,摘要\r\n2021/04/01,\"会費, 四月分\"\r\n2021/04/02,髙橋様 ①～③\r\n"_s;
    const QStringList rows{u"1:日付|摘要"_s, u"2:2021/04/01|会費, 四月分"_s, u"3:2021/04/02|髙橋様 ①～③"_s};

    for (const QByteArray& bytes : {kBom + text.toUtf8(), text.toUtf8()}) {
        const CsvFile file = ReadCsv(bytes);
        EXPECT_EQ(file.encoding, CsvEncoding::Utf8);
        EXPECT_EQ(Shown(file), rows);
    }
    // Excel in Japan saves CP932, with the characters Shift_JIS lacks (髙, ①, ～).
    const CsvFile cp932 = ReadCsv(Cp932(text));
    EXPECT_EQ(cp932.encoding, CsvEncoding::Cp932);
    EXPECT_EQ(Shown(cp932), rows);
}

TEST(MeisaiImport, ReadCsvRefusesTheRowsOfAUtf8FileThatAreNotUtf8) {
    const QString bad = u"2021/04/02,会費,1001"_s;
    const QByteArray body = u"年月日,科目,支出\r\n2021/04/01,事業費,1001\r\n"_s.toUtf8() + Cp932(bad) +
                            "\r\n" + u"2021/04/03,会費,1001\r\n"_s.toUtf8();
    // This file also reads as CP932 from end to end, as nonsense: the rows that are
    // UTF-8 decide.
    QStringDecoder cp932("windows-31j", QStringConverter::Flag::Stateless);
    [[maybe_unused]] const QString nonsense = cp932.decode(body);
    ASSERT_FALSE(cp932.hasError());

    for (const QByteArray& bytes : {body, kBom + body}) {
        const CsvFile file = ReadCsv(bytes);
        EXPECT_EQ(file.encoding, CsvEncoding::Utf8);
        ASSERT_EQ(file.rows.size(), 4u);
        EXPECT_EQ(file.rows[1].fields, (QStringList{u"2021/04/01"_s, u"事業費"_s, u"1001"_s}));
        EXPECT_TRUE(file.rows[1].error.isEmpty());
        EXPECT_EQ(file.rows[2].error, u"文字コードが正しくありません。"_s);
        EXPECT_TRUE(file.rows[3].error.isEmpty());
    }
    // A character cut off at the end of the file is no character either.
    const CsvFile cut = ReadCsv(kBom + "a\r\nb" + QByteArray("\xE4\xBC"));
    EXPECT_EQ(cut.rows.at(1).error, u"文字コードが正しくありません。"_s);
}

TEST(MeisaiImport, MapColumns) {
    EXPECT_TRUE(IsExportHeading({u"日付"_s, u"会計区分"_s, u"相手先"_s, u"摘要"_s, u"科目コード"_s,
                                 u"科目名"_s, u"収入"_s, u" 支出 "_s}));
    EXPECT_FALSE(IsExportHeading(
        {u"日付"_s, u"会計区分"_s, u"相手先"_s, u"摘要"_s, u"科目コード"_s, u"科目名"_s, u"収入"_s}));
    // The export's heading names every column the export mapping uses.
    EXPECT_EQ(GuessMapping(ExportHeading()), ExportMapping());

    ColumnMapping excel = GuessMapping(
        {u"No."_s, u"年月日"_s, u"内容"_s, u"勘定科目"_s, u"入金額"_s, u"出金額"_s, u"支払先"_s, u"残高"_s});
    EXPECT_EQ(excel.hizuke, 1);
    EXPECT_EQ(excel.tekiyo, 2);
    EXPECT_EQ(excel.kamoku, 3);
    EXPECT_EQ(excel.kamokuBy, KamokuBy::Name);
    EXPECT_EQ(excel.syunyu, 4);
    EXPECT_EQ(excel.sisyutsu, 5);
    EXPECT_EQ(excel.aite, 6);
    EXPECT_EQ(excel.kaikeiKubun, -1);
    EXPECT_EQ(GuessMapping({u"a"_s, u"b"_s}), ColumnMapping{});

    // A bank's statement: its amount columns and balance by their headings.
    const ColumnMapping bank =
        GuessMapping({u"取引日"_s, u"摘要"_s, u"お支払金額"_s, u"お預り金額"_s, u"残高"_s});
    EXPECT_EQ(bank.hizuke, 0);
    EXPECT_EQ(bank.tekiyo, 1);
    EXPECT_EQ(bank.sisyutsu, 2);
    EXPECT_EQ(bank.syunyu, 3);
    EXPECT_EQ(bank.zandaka, 4);
    EXPECT_EQ(bank.kingaku, -1);
    const ColumnMapping signedBank = GuessMapping({u"日付"_s, u"お取引内容"_s, u"入出金額"_s, u"差引残高"_s});
    EXPECT_EQ(signedBank.kingaku, 2);
    EXPECT_EQ(signedBank.zandaka, 3);
    EXPECT_EQ(signedBank.syunyu, -1);
    EXPECT_EQ(signedBank.sisyutsu, -1);

    const auto with = [](auto change) {
        ColumnMapping m = ExportMapping();
        change(m);
        return MappingProblem(m);
    };
    EXPECT_EQ(MappingProblem(ExportMapping()), std::nullopt);
    EXPECT_EQ(with([](ColumnMapping& m) { m.hizuke = -1; }), u"日付の列を選んでください。"_s);
    EXPECT_EQ(with([](ColumnMapping& m) { m.kamoku = -1; }), u"科目(集計項目)の列を選んでください。"_s);
    EXPECT_EQ(with([](ColumnMapping& m) { m.syunyu = m.sisyutsu = -1; }),
              u"収入金額か支払金額の列を選んでください。"_s);
    EXPECT_EQ(with([](ColumnMapping& m) { m.sisyutsu = -1; }), std::nullopt);
    EXPECT_EQ(with([](ColumnMapping& m) { m.tekiyo = 6; }), u"G列が二つの項目に選ばれています。"_s);
    EXPECT_EQ(with([](ColumnMapping& m) { m.syunyu = m.sisyutsu = -1, m.kingaku = 6; }), std::nullopt);
    EXPECT_EQ(with([](ColumnMapping& m) { m.kingaku = 8; }),
              u"入出金額の列を選んだときは、収入金額と支払金額の列は（なし）にしてください。"_s);
    EXPECT_EQ(with([](ColumnMapping& m) { m.zandaka = 7; }), u"H列が二つの項目に選ばれています。"_s);

    const std::pair<int, const char16_t*> letters[] = {
        {0, u"A"}, {25, u"Z"}, {26, u"AA"}, {51, u"AZ"}, {702, u"AAA"}};
    for (const auto& [column, text] : letters)
        EXPECT_EQ(ColumnLetters(column), QString::fromUtf16(text)) << column;
}

TEST(MeisaiImport, ReadDatesAsSpreadsheetsWriteThem) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"2021/04/01", u"20210401"},       {u"2021/4/1", u"20210401"},
        {u"2021-12-31", u"20211231"},       {u"2021.4.10", u"20210410"},
        {u"20220331", u"20220331"},         {u"2021年4月1日", u"20210401"},
        {u"２０２１／４／１", u"20210401"}, {u"2021/4/1 0:00", u"20210401"},
        {u" 2021/04/01 ", u"20210401"},     {u"4/1", u"4/1"},
        {u"令和3年4月1日", u"20210401"},    {u"", u""},
    };
    for (const auto& [text, hizuke] : cases)
        EXPECT_EQ(ImportDate(QString::fromUtf16(text)), QString::fromUtf16(hizuke))
            << QString::fromUtf16(text).toStdString();
}

TEST(MeisaiImport, CheckEveryRowOfTheExportShapeAsATypedLine) {
    const QString fifty(50, u'あ');
    QString fiftyWide;  // 50 characters outside the basic plane: 100 UTF-16 units
    for (int i = 0; i < 50; ++i)
        fiftyWide += u"𠮷"_s;
    const struct {
        QStringList fields;
        QString outcome;  // empty: passed over
    } cases[] = {
        {ExportHeading(), {}},
        {{u"2021/04/01"_s,
          u"一般会計"_s,
          u"町内会員"_s,
          u"四月分 会費"_s,
          u"1001"_s,
          u"会費"_s,
          u"5000"_s,
          {}},
         u"0|20210401|町内会員|四月分 会費|1001|5000|-"_s},
        {{u"2022/03/31"_s, u"施設会計"_s, {}, {}, u"6000"_s, {}, {}, u"1,200"_s},
         u"3|20220331|-|-|6000|-|1200"_s},
        // A division by its code; a zero amount is an amount; 50 characters fit.
        {{u"2021/05/01"_s, u"2"_s, {}, fifty, u"2001"_s, {}, u"0"_s, {}},
         u"2|20210501|-|"_s + fifty + u"|2001|0|-"_s},
        // Characters count, not UTF-16 units.
        {{u"2021/05/01"_s, u"一般会計"_s, {}, fiftyWide, u"2001"_s, {}, {}, u"-300"_s},
         u"0|20210501|-|"_s + fiftyWide + u"|2001|-|-300"_s},
        {{u"2021/05/02"_s, u"一般会計"_s, {}, {}, u"2001"_s, {}, {}, {}}, u"0|20210502|-|-|2001|-|-"_s},
        {u",,,"_s.split(u','), {}},
        {{u"2021/03/31"_s, u"一般会計"_s, {}, {}, u"1001"_s, {}, u"5000"_s, {}},
         u"!日付が会計期間の範囲外です。（2021/03/31）"_s},
        {{u"2022/04/01"_s, u"一般会計"_s, {}, {}, u"1001"_s, {}, u"5000"_s, {}},
         u"!日付が会計期間の範囲外です。（2022/04/01）"_s},
        {{{}, u"一般会計"_s, {}, {}, u"1001"_s, {}, u"5000"_s, {}}, u"!日付を入力してください。"_s},
        {{u"2021/02/30"_s, u"一般会計"_s, {}, {}, u"1001"_s, {}, u"5000"_s, {}},
         u"!日付が正しくありません。（2021/02/30）"_s},
        {{u"2021/04/01"_s, u"一般会計"_s, {}, {}, u"4444"_s, u"雑収入"_s, u"5000"_s, {}},
         u"!科目(集計項目)が登録されていません。（4444）"_s},
        {{u"2021/04/01"_s, u"一般会計"_s, {}, {}, u"会費"_s, {}, u"5000"_s, {}},
         u"!科目(集計項目)が登録されていません。（会費）"_s},
        {{u"2021/04/01"_s, u"一般会計"_s, {}, {}, u"6000"_s, {}, {}, u"5000"_s},
         u"!この科目(集計項目)は入力できません。（6000）"_s},
        {{u"2021/04/01"_s, u"祭礼会計"_s, {}, {}, u"6002"_s, {}, {}, u"5000"_s},
         u"!この科目(集計項目)は入力できません。（6002）"_s},
        {{u"2021/04/01"_s, u"一般会計"_s, {}, {}, u"1001"_s, {}, u"5000"_s, u"5000"_s},
         u"!収入と支出の両方に金額が入力されています。"_s},
        {{u"2021/04/01"_s, u"一般会計"_s, {}, {}, {}, {}, u"0"_s, {}},
         u"!金額を入力したときは科目(集計項目)を入力してください。"_s},
        {{u"2021/04/01"_s, u"一般会計"_s, {}, {}, u"1001"_s, {}, u"12.5"_s, {}},
         u"!収入金額が正しくありません。（12.5）"_s},
        {{u"2021/04/01"_s, u"一般会計"_s, {}, {}, u"2001"_s, {}, {}, u"1,000,000,000"_s},
         u"!1000000000は支払金額の範囲外です。-999999999～999999999の範囲で入力してください。"_s},
        {{u"2021/04/01"_s, u"青年部"_s, {}, {}, u"1001"_s, {}, u"5000"_s, {}},
         u"!会計区分が登録されていません。（青年部）"_s},
        {{u"2021/04/01"_s, {}, {}, {}, u"1001"_s, {}, u"5000"_s, {}}, u"!会計区分を入力してください。"_s},
        {{u"2021/04/01"_s, u"一般会計"_s, {}, QString(300, u'摘'), u"1001"_s, {}, u"5000"_s, {}},
         u"!摘要が50文字を超えています。（300文字）"_s},
        {{u"2021/04/01"_s, u"一般会計"_s, u"とても長い相手先の名前"_s, {}, u"1001"_s, {}, u"5000"_s, {}},
         u"!入金先／支払先が10文字を超えています。（11文字）"_s},
        {{u"2021/04/01"_s, u"一般会計"_s, {}, u"二行の\n摘要"_s, u"1001"_s, {}, u"5000"_s, {}},
         u"!摘要に改行などの制御文字があります。"_s},
        // Short rows read their missing cells as empty.
        {{u"2021/04/01"_s, u"一般会計"_s, {}, {}, u"1001"_s}, u"0|20210401|-|-|1001|-|-"_s},
    };
    std::vector<QStringList> records;
    for (const auto& c : cases)
        records.push_back(c.fields);
    std::vector<CsvRow> rows = Rows(records);
    rows.push_back(
        {static_cast<int>(rows.size()) + 1, {u"2021/04/01"_s}, u"文字コードが正しくありません。"_s});

    const std::map<int, QString> outcome = Outcome(CheckImportRows(rows, ExportMapping(), Context()));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const int row = static_cast<int>(i) + 1;
        SCOPED_TRACE(u"row %1: %2"_s.arg(row).arg(cases[i].fields.join(u',')).toStdString());
        if (cases[i].outcome.isEmpty())
            EXPECT_EQ(outcome.count(row), 0u);
        else
            EXPECT_EQ(outcome.at(row), cases[i].outcome);
    }
    EXPECT_EQ(outcome.at(static_cast<int>(rows.size())), u"!文字コードが正しくありません。"_s);
}

TEST(MeisaiImport, CheckMappedRowsInTheDivisionShown) {
    // Columns chosen by the user: items by name, no division column, no heading.
    ColumnMapping m;
    m.hizuke = 0;
    m.tekiyo = 1;
    m.kamoku = 2;
    m.kamokuBy = KamokuBy::Name;
    m.syunyu = 3;
    m.sisyutsu = 4;
    m.firstRowIsHeading = false;
    const std::vector<CsvRow> rows = Rows({
        {u"2021/4/1"_s, u"四月分"_s, u"会費"_s, u"１，０００"_s, {}},  // the name without its kind
        {u"2021/4/2"_s, {}, u"収入 会費"_s, u"¥2,000"_s, {}},          // the name as listed
        {u"2021/4/3"_s, {}, u"繰入金"_s, u"300"_s, {}},                // two items of that name
        {u"2021/4/4"_s, {}, u"祭礼会計へ繰出"_s, {}, u"400"_s},
        {u"2021/4/5"_s, {}, u"1001"_s, u"500"_s, {}},  // a code is no name
    });
    const struct {
        int division;
        std::vector<const char16_t*> outcome;
    } cases[] = {
        // In the general account 3000 is not allowed: the name means 3003.
        {0,
         {u"0|20210401|-|四月分|1001|1000|-", u"0|20210402|-|-|1001|2000|-", u"0|20210403|-|-|3003|300|-",
          u"0|20210404|-|-|6002|-|400", u"!科目(集計項目)が登録されていません。（1001）"}},
        // In special account 3, 3003 is not allowed: the name means 3000.
        {3,
         {u"3|20210401|-|四月分|1001|1000|-", u"3|20210402|-|-|1001|2000|-", u"3|20210403|-|-|3000|300|-",
          u"3|20210404|-|-|6002|-|400", u"!科目(集計項目)が登録されていません。（1001）"}},
        // In special account 2 both are, and 6002 is not.
        {2,
         {u"2|20210401|-|四月分|1001|1000|-", u"2|20210402|-|-|1001|2000|-",
          u"!同じ名前の科目(集計項目)が複数あります。科目コードで指定してください。（繰入金）",
          u"!この科目(集計項目)は入力できません。（祭礼会計へ繰出）",
          u"!科目(集計項目)が登録されていません。（1001）"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.division);
        const std::map<int, QString> outcome = Outcome(CheckImportRows(rows, m, Context(c.division)));
        ASSERT_EQ(outcome.size(), c.outcome.size());
        for (std::size_t i = 0; i < c.outcome.size(); ++i)
            EXPECT_EQ(outcome.at(static_cast<int>(i) + 1), QString::fromUtf16(c.outcome[i]))
                << "row " << i + 1;
    }
}

TEST(MeisaiImport, CheckABankStatementsRowsAndItsBalances) {
    // One signed amount column, era dates and the balance after each row.
    ColumnMapping m;
    m.hizuke = 0;
    m.tekiyo = 1;
    m.kamoku = 2;
    m.kingaku = 3;
    m.zandaka = 4;
    const std::vector<CsvRow> rows = Rows({
        {u"日付"_s, u"摘要"_s, u"科目"_s, u"金額"_s, u"残高"_s},
        {u"R3.4.5"_s, u"会費"_s, u"1001"_s, u"5,000"_s, u"55,000"_s},
        {u"令和3年4月6日"_s, u"事務用品"_s, u"2001"_s, u"△1,200"_s, u"53,800"_s},
        // The row of a 300 payment is missing here.
        {u"R03/04/08"_s, u"会費"_s, u"1001"_s, u"(1,000)"_s, u"52,500"_s},
        {u"2021/4/9"_s, u"会費"_s, u"1001"_s, u"2000"_s, u"54,500"_s},
        {u"2021/4/10"_s, u"会費"_s, u"1001"_s, u"1000"_s, u"abc"_s},
    });
    const std::map<int, QString> outcome = Outcome(CheckImportRows(rows, m, Context()));
    const std::map<int, QString> expected{
        {2, u"0|20210405|-|会費|1001|5000|-"_s},
        {3, u"0|20210406|-|事務用品|2001|-|1200"_s},
        {4,
         u"!残高が合いません。前の行からの残高は52,800、ファイルの残高は52,500です。"
         u"（行の抜けや重複がないか確かめてください）"_s},
        {5, u"0|20210409|-|会費|1001|2000|-"_s},
        {6, u"!残高が正しくありません。（abc）"_s},
    };
    EXPECT_EQ(outcome, expected);
}

TEST(MeisaiImport, PairTheHalvesOfTransfers) {
    const auto line = [](int row, int division, int kamoku, std::optional<int> syunyu,
                         std::optional<int> sisyutsu, const QString& tekiyo = u"繰出"_s) {
        ImportLine l;
        l.row = row;
        l.kaikeiKubun = division;
        l.hizuke = u"20210601"_s;
        l.tekiyo = tekiyo;
        l.kamoku = kamoku;
        l.syunyu = syunyu ? db::Value(*syunyu) : db::Value();
        l.sisyutsu = sisyutsu ? db::Value(*sisyutsu) : db::Value();
        return l;
    };
    const std::vector<KamokuFacts> items = Context().items;
    // 6012 pays to special account 2 too, and comes first: 2's receipt from the
    // general account mirrors to it, not to 6002.
    std::vector<KamokuFacts> twoPayments = items;
    twoPayments.insert(twoPayments.begin() + 5, KamokuFacts{6012, 2, 2});
    // Each entry: "row:division/item" and "→division/item" for its mirrored half.
    const struct {
        const char* name;
        std::vector<ImportLine> lines;
        const std::vector<KamokuFacts>* items;
        QStringList entries;
    } cases[] = {
        {"both halves, as exported: one line",
         {line(2, 0, 6002, {}, 500), line(3, 0, 1001, 100, {}), line(4, 2, 3000, 500, {})},
         &items,
         {u"2:0/6002→2/3000"_s, u"3:0/1001"_s}},
        {"the special account's half first",
         {line(2, 2, 3000, 500, {}), line(3, 0, 6002, {}, 500)},
         &items,
         {u"2:2/3000→0/6002"_s}},
        {"only the later row's mirror is the earlier row",
         {line(2, 2, 3000, 500, {}), line(3, 0, 6002, {}, 500)},
         &twoPayments,
         {u"3:0/6002→2/3000"_s}},
        {"one half alone gets its mirror", {line(2, 0, 6002, {}, 500)}, &items, {u"2:0/6002→2/3000"_s}},
        {"halves that differ are two lines",
         {line(2, 0, 6002, {}, 500), line(3, 2, 3000, 500, {}, u"別の摘要"_s), line(4, 2, 3000, 400, {}),
          line(5, 2, 3000, {}, 500)},
         &items,
         {u"2:0/6002→2/3000"_s, u"3:2/3000→0/6002"_s, u"4:2/3000→0/6002"_s, u"5:2/3000→0/6002"_s}},
        {"two equal transfers: two lines, each with its half",
         {line(2, 0, 6002, {}, 500), line(3, 0, 6002, {}, 500), line(4, 2, 3000, 500, {}),
          line(5, 2, 3000, 500, {})},
         &items,
         {u"2:0/6002→2/3000"_s, u"3:0/6002→2/3000"_s}},
        {"three halves: a pair and a line",
         {line(2, 0, 6002, {}, 500), line(3, 2, 3000, 500, {}), line(4, 2, 3000, 500, {})},
         &items,
         {u"2:0/6002→2/3000"_s, u"4:2/3000→0/6002"_s}},
        {"ordinary lines stay as they are",
         {line(2, 0, 1001, 100, {}), line(3, 0, 1001, 100, {})},
         &items,
         {u"2:0/1001"_s, u"3:0/1001"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList entries;
        for (const ImportEntry& e : PairTransfers(c.lines, *c.items))
            entries << u"%1:%2/%3"_s.arg(e.line.row).arg(e.line.kaikeiKubun).arg(e.line.kamoku.AsInteger()) +
                           (e.mirror ? u"→%1/%2"_s.arg(e.mirror->kaikeiKubun).arg(e.mirror->kamoku)
                                     : QString());
        EXPECT_EQ(entries, c.entries);
    }
}
