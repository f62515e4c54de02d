// The journal written out: the CSV that spreadsheets and 取込 read, and the
// ledger journal that ledger and hledger read, from the saved lines and from the
// journal window's 書出 (its work rows, saved or not).

#include <QBuffer>
#include <QFile>
#include <QPushButton>

#include "journal/JournalExport.h"
#include "tests/journal/JournalFixture.h"
#include "tests/support/TempFolder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class JournalExportTest : public JournalTest {
  protected:
    void AddSaved(int seq, int division, const QString& hizuke, int kamoku, std::optional<int> syunyu,
                  std::optional<int> sisyutsu, const QString& aite, const QString& tekiyo) {
        const auto amount = [](std::optional<int> v) { return v ? db::Value(*v) : db::Value(); };
        module.SQLConnection1.Execute(
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, "
            u"SISYUTSU) "
            u"values (:S, :D, 2021, :H, :A, :T, :K, :I, :O)"_s,
            {{u"S"_s, seq},
             {u"D"_s, division},
             {u"H"_s, hizuke},
             {u"A"_s, aite},
             {u"T"_s, tekiyo},
             {u"K"_s, kamoku},
             {u"I"_s, amount(syunyu)},
             {u"O"_s, amount(sisyutsu)}});
    }
    template <class Writer>
    QByteArray Written(Writer writer, const JournalSource& source) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        writer(module.SQLConnection1, source, buffer);
        return buffer.data();
    }
};

TEST_F(JournalExportTest, SavedLinesBecomeCsvRowsAndLedgerTransactions) {
    // Out of order on purpose; a transfer's two halves share line 3.
    AddSaved(5, 0, u"20220331"_s, 2001, std::nullopt, 1200, u"文具店"_s, u"ペン, \"赤\"\n2本"_s);
    AddSaved(3, 0, u"20210410"_s, 6002, std::nullopt, 10000, QString(), u"祭礼へ"_s);
    AddSaved(3, 2, u"20210410"_s, 3000, 10000, std::nullopt, QString(), u"祭礼へ"_s);
    AddSaved(1, 0, u"20210401"_s, 1001, 3000, 0, u"１班"_s, u"会費"_s);

    const QByteArray bytes = Written(WriteJournalCsv, {2021, std::nullopt});
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "the byte-order mark";
    const QString csv = QString::fromUtf8(bytes.mid(3));
    EXPECT_EQ(csv,
              u"日付,会計区分,相手先,摘要,科目コード,科目名,収入,支出\r\n"
              u"2021/04/01,一般会計,１班,会費,1001,会費,3000,\r\n"
              u"2021/04/10,一般会計,,祭礼へ,6002,祭礼会計へ繰出,,10000\r\n"
              u"2021/04/10,祭礼会計,,祭礼へ,3000,一般会計より繰入,10000,\r\n"
              u"2022/03/31,一般会計,文具店,\"ペン, \"\"赤\"\"\n2本\",2001,事業費,,1200\r\n"_s);

    const QString ledger = QString::fromUtf8(Written(WriteJournalLedger, {2021, std::nullopt}));
    // Receipts credit the item, payments debit it; the transfer is one transaction.
    EXPECT_TRUE(
        ledger.contains(u"2021/04/01 １班 | 会費\n"
                        u"    ; 明細番号: 1\n"
                        u"    収入:一般会計:1001 会費  -3000 JPY\n"
                        u"    資金:一般会計  3000 JPY\n\n"_s))
        << ledger.toStdString();
    EXPECT_TRUE(
        ledger.contains(u"2021/04/10 祭礼へ\n"
                        u"    ; 明細番号: 3\n"
                        u"    支出:一般会計:6002 祭礼会計へ繰出  10000 JPY\n"
                        u"    資金:一般会計  -10000 JPY\n"
                        u"    収入:祭礼会計:3000 一般会計より繰入  -10000 JPY\n"
                        u"    資金:祭礼会計  10000 JPY\n\n"_s))
        << ledger.toStdString();
    // A description stays on its line, without the comment mark.
    EXPECT_TRUE(ledger.contains(u"2022/03/31 文具店 | ペン, \"赤\" 2本\n"_s)) << ledger.toStdString();
    EXPECT_EQ(ledger.count(u"\n20"_s), 3);
}

TEST(JournalExportNames, NamesThatWouldBreakAnAccountOrAFieldAreMadeSafe) {
    const struct {
        QString text, csv, account;
    } cases[] = {
        {u"会費"_s, u"会費"_s, u"会費"_s},
        {u"a,b"_s, u"\"a,b\""_s, u"a,b"_s},
        {u"say \"hi\""_s, u"\"say \"\"hi\"\"\""_s, u"say \"hi\""_s},
        {u"行\r\n二"_s, u"\"行\r\n二\""_s, u"行 二"_s},
        {u"収入:会費"_s, u"収入:会費"_s, u"収入：会費"_s},
        {u"a  b\tc"_s, u"a  b\tc"_s, u"a b c"_s},
        {u"(仮) 会費"_s, u"(仮) 会費"_s, u"仮) 会費"_s},
        {u"; 注"_s, u"; 注"_s, u"； 注"_s},
        {u"  "_s, u"  "_s, u"名前なし"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(CsvField(c.text), c.csv);
        EXPECT_EQ(LedgerAccountPart(c.text), c.account);
    }
}

TEST_F(JournalExportTest, TheWindowWritesWhatItShowsSavedOrNot) {
    AddSaved(1, 0, u"20210401"_s, 1001, 3000, std::nullopt, u"１班"_s, u"会費"_s);
    TempFolder folder;
    auto form = Open();
    Load(*form);
    ASSERT_TRUE(form->KakidasiBtn->isEnabled());
    QTest::mouseClick(form->GyoTsuikaBtn, Qt::LeftButton);
    Settle();
    TypeLine({u"0405"_s, u"２班"_s, u"会費"_s, u"1001"_s, u"4000"_s, QString()});

    const QString csvPath = folder.File(u"明細"_s);  // the filter's suffix is added
    dialogs.QueueSaveFile(SaveFileChoice{csvPath, 0});
    QTest::mouseClick(form->KakidasiBtn, Qt::LeftButton);
    Settle();
    const QString csv = QString::fromUtf8(ReadFile(csvPath + u".csv"_s));
    EXPECT_TRUE(
        csv.contains(u"2021/04/01,一般会計,１班,会費,1001,会費,3000,\r\n"
                     u"2021/04/05,一般会計,２班,会費,1001,会費,4000,\r\n"_s))
        << csv.toStdString();
    EXPECT_EQ(dialogs.Last().text, u"2件の明細を書き出しました。\r\n"_s + csvPath + u".csv"_s);

    // The ledger format chosen with the suggested name: the name follows the format.
    const QString ledgerPath = folder.File(u"明細.journal"_s);
    dialogs.QueueSaveFile(SaveFileChoice{folder.File(u"明細.csv"_s), 1});
    QTest::mouseClick(form->KakidasiBtn, Qt::LeftButton);
    Settle();
    EXPECT_TRUE(QString::fromUtf8(ReadFile(ledgerPath)).contains(u"2021/04/05 ２班 | 会費\n"_s));

    // Cancelled: nothing written, nothing said.
    dialogs.Clear();
    QTest::mouseClick(form->KakidasiBtn, Qt::LeftButton);
    Settle();
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown().front().kind, RecordedDialog::Kind::FileSave);
    EXPECT_FALSE(QFile::exists(folder.File(u"明細.csv.csv"_s)));
}

}  // namespace
