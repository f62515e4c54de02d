// 点検: each of a table of faults seeded into a sound year is found, with its
// severity and the words that name it; the sound year and the sample organisation
// give nothing; the one remedy (an opening balance that drifted from last year's
// closing balance) puts it right, offered by the window after a question, and is
// refused in a closed year.

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "core/Errors.h"
#include "db/WorkKeys.h"
#include "db/YearClose.h"
#include "statements/BookCheck.h"
#include "statements/TenkenUnit.h"
#include "tests/statements/KessanFixture.h"
#include "tests/support/TempFolder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString Listing(const std::vector<statements::Finding>& findings) {
    QStringList lines;
    for (const auto& f : findings)
        lines << statements::FindingLine(f);
    return lines.join(u'\n');
}

}  // namespace

// The fixture's year 2021 with the year before it: 2020 leaves 70,000 in the
// general account and 10,000 in division 2, which 2021's budget carries in.
class BookCheckTest : public KessanTest {
  protected:
    BookCheckTest() {
        for (const QString& sql : {
                 u"insert into NENDO (NENDO, KISYUBI, KIMATSUBI) values (2020, '20200401', '20210331')"_s,
                 u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 0, 100, 60000)"_s,
                 u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 2, 100, 10000)"_s,
                 u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU) "
                 u"values (20, 0, 2020, '20200601', 1001, 15000, null)"_s,
                 u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU) "
                 u"values (21, 0, 2020, '20200701', 2001, null, 5000)"_s,
             })
            Execute(sql);
        db::EnsureSharingObjects(module.SQLConnection1);
    }
    std::vector<statements::Finding> Check() { return statements::CheckBooks(module.SQLConnection1, 2021); }
};

TEST_F(BookCheckTest, EachSeededFaultIsFoundAndASoundYearGivesNothing) {
    ASSERT_EQ(Listing(Check()), QString());
    const struct {
        const char* fault;
        std::vector<QString> sql;
        QString expected;  // a line of the listing contains it
    } cases[] = {
        {"a transfer without its other half",
         {u"delete from MEISAI where SEQ_NO = 5 and KAIKEI_KUBUN = 2"_s},
         u"[エラー] 振替: 明細番号 5(会計区分 0、2021/09/01)の振替の相手側の明細がありません。"_s},
        {"a transfer whose halves differ",
         {u"update MEISAI set SYUNYU = 40000 where SEQ_NO = 5 and KAIKEI_KUBUN = 2"_s},
         u"[エラー] 振替: 明細番号 5(会計区分 0、2021/09/01)の振替の金額が相手側(会計区分 2)と一致しません。"_s},
        {"last year's lines changed after the import",
         {u"update MEISAI set SYUNYU = 18000 where SEQ_NO = 20"_s},
         u"[エラー] 前年度繰越金: 一般会計の前年度繰越金 70,000円が、前年度の次期繰越金 73,000円と一致しません。"_s},
        {"a line dated outside the year",
         {u"update MEISAI set HIZUKE = '20220401' where SEQ_NO = 3"_s},
         u"[エラー] 日付: 明細番号 3(会計区分 0、2022/04/01)の日付が年度の期間外です。"_s},
        {"an item no longer valid",
         {u"update KAMOKU set SYURYO_NENDO = 2020 where CD = 2002"_s},
         u"[エラー] 科目: 明細番号 4(会計区分 0、2022/01/10)の科目コード[2002]はこの年度に使えません。"_s},
        {"an item that is gone",
         {u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU) "
          u"values (8, 0, 2021, '20210601', 1999, 10)"_s},
         u"[エラー] 科目: 明細番号 8(会計区分 0、2021/06/01)の科目コード[1999]が登録されていません。"_s},
        {"a division not valid in the year",
         {u"update KAIKEI_KUBUN set SYURYO_NENDO = 2020 where CD = 2"_s},
         u"[エラー] 会計区分: 明細番号 6(会計区分 2、2021/10/20)の会計区分はこの年度に使えません。"_s},
        {"work rows of a window that is gone",
         {u"insert into W_KEY (CPU_NAME, JIKOKU, WORK_TABLE, NENDO, HOST_NAME, ATTACHMENT_ID) "
          u"values ('GONE', '20210101000000', 'W_MEISAI', 2021, 'GONE', 999999)"_s,
          u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, NENDO, KAIKEI_KUBUN) "
          u"values ('GONE', '20210101000000', 9, 2021, 0)"_s},
         u"[注意] 作業データ: W_MEISAIに終了した画面の作業データが1件残っています"_s},
        {"the line-number sequence behind",
         {u"select gen_id(SEQ_MEISAI, -18) from RDB$DATABASE"_s},
         u"[エラー] 明細番号: 明細番号の採番(3)が使用済みの明細番号(21)より小さくなっています。"_s},
        {"a dues collection's journal line deleted",
         {u"insert into KAIHI_NOUFU (NOUFU_NO, NENDO, SETAI_CD, SYURUI_CD, HIZUKE, TSUKI, KINGAKU, HAN_CD, "
          u"SEQ_NO) "
          u"values (1, 2021, 1, 1, '20210630', '000111000000', 1500, 1, 77)"_s},
         u"[エラー] 会費: 会費の納付(計 1,500円)から作られた明細番号 77がありません。"
         u"会費徴収の「仕訳を作り直す」で作り直せます。"_s},
    };
    db::Connection& c = module.SQLConnection1;
    for (const auto& fault : cases) {
        SCOPED_TRACE(fault.fault);
        c.StartTransaction();
        for (const QString& sql : fault.sql) {
            if (sql.startsWith(u"select"_s))
                c.Select(sql);
            else
                c.Execute(sql);
        }
        const QString listing = Listing(Check());
        c.Rollback();
        if (fault.sql.front().startsWith(u"select"_s))
            db::EnsureSharingObjects(c);  // a sequence does not roll back
        EXPECT_TRUE(listing.contains(fault.expected)) << listing.toStdString();
    }
    EXPECT_EQ(Listing(Check()), QString());
}

TEST_F(BookCheckTest, TheOpeningBalanceIsPutRightUnlessTheYearIsClosed) {
    Execute(u"update MEISAI set SYUNYU = 18000 where SEQ_NO = 20"_s);
    auto findings = Check();
    ASSERT_EQ(findings.size(), 1u) << Listing(findings).toStdString();
    ASSERT_TRUE(findings.front().remedy.has_value());
    const statements::OpeningRemedy remedy = *findings.front().remedy;
    EXPECT_EQ(remedy.amount, 73000);
    EXPECT_EQ(remedy.division, 0);

    db::SetYearClosed(module.SQLConnection1, 2021, true, u"PC"_s, u"u"_s, QString());
    EXPECT_THROW(statements::ApplyOpeningRemedy(module.SQLConnection1, remedy), EAppError);
    EXPECT_EQ(Query(u"select YOSAN from YOSAN where NENDO = 2021 and KAIKEI_KUBUN = 0 and KAMOKU = 100"_s),
              u"70000"_s);
    db::SetYearClosed(module.SQLConnection1, 2021, false, u"PC"_s, u"u"_s, u"繰越金の訂正"_s);
    statements::ApplyOpeningRemedy(module.SQLConnection1, remedy);
    EXPECT_EQ(Query(u"select YOSAN from YOSAN where NENDO = 2021 and KAIKEI_KUBUN = 0 and KAMOKU = 100"_s),
              u"73000"_s);
    EXPECT_EQ(Listing(Check()), QString());
}

TEST(BookCheck, TheSampleOrganisationGivesNothing) {
    const TempFolder folder;
    const QString path = CopyOfSampleDatabase(folder);
    {
        db::Connection c([&] { return path; });
        for (const int year : {2025, 2026}) {
            SCOPED_TRACE(year);
            EXPECT_EQ(Listing(statements::CheckBooks(c, year)), QString());
        }
        c.Close();
    }
    EXPECT_EQ(Listing(statements::ValidationFinding(path)), QString());
}

TEST_F(BookCheckTest, TheCheckWindowListsTheFindingsAndOffersTheRemedy) {
    {
        TTenkenForm form(2021);
        EXPECT_EQ(form.SummaryLabel->text(), u"2021年度の点検: 問題は見つかりませんでした。"_s)
            << dialogs.Last().text.toStdString();
        EXPECT_FALSE(form.SyuseiBtn->isEnabled());
    }
    Execute(u"update MEISAI set SYUNYU = 18000 where SEQ_NO = 20"_s);
    Execute(u"update MEISAI set HIZUKE = '20220401' where SEQ_NO = 3"_s);
    TTenkenForm form(2021);
    ShowActive(form);
    EXPECT_EQ(form.SummaryLabel->text(), u"2021年度の点検: エラー 2件、注意 0件"_s);
    ASSERT_EQ(form.FindingList->rowCount(), 2);
    const auto row = [&](int r) {
        return form.FindingList->item(r, 0)->text() + u'|' + form.FindingList->item(r, 1)->text();
    };
    EXPECT_EQ(row(0), u"エラー|日付"_s);
    EXPECT_EQ(row(1), u"エラー|前年度繰越金"_s);
    EXPECT_FALSE(form.SyuseiBtn->isEnabled());  // the date has no remedy
    form.FindingList->selectRow(1);
    ASSERT_TRUE(form.SyuseiBtn->isEnabled());
    dialogs.QueueAnswer(ModalResult::No);
    Click(form.SyuseiBtn);
    EXPECT_EQ(Query(u"select YOSAN from YOSAN where NENDO = 2021 and KAIKEI_KUBUN = 0 and KAMOKU = 100"_s),
              u"70000"_s);
    dialogs.QueueAnswer(ModalResult::Yes);
    Click(form.SyuseiBtn);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"2021年度の予算の前年度繰越金を 73,000円"_s));
    EXPECT_EQ(Query(u"select YOSAN from YOSAN where NENDO = 2021 and KAIKEI_KUBUN = 0 and KAMOKU = 100"_s),
              u"73000"_s);
    EXPECT_EQ(form.FindingList->rowCount(), 1);
}
