// The journal's two workbooks read from the saved year, as the command line makes
// them, against the same workbooks from a window's load of that year: the same
// package part for part, and not one work row read or written on the way.

#include "core/ComputerName.h"
#include "reports/ExlSyusiMeisaiUnit.h"
#include "reports/ExlTsukibetsuSyukeiUnit.h"
#include "sheet/Package.h"
#include "tests/reports/ReportFixture.h"

#include <QFile>

#include <functional>
#include <memory>

namespace {

class SavedYearReportTest : public ReportFixture {
  protected:
    void SetUp() override {
        ReportFixture::SetUp();
        AddYear(2021, u"20210401"_qs, u"20220331"_qs);
        AddDivision(1, u"特別会計"_qs);
        AddBunrui(10, u"会費"_qs, 1, 1);
        AddBunrui(20, u"事業費"_qs, 2, 1);
        AddBunrui(40, u"預り金"_qs, 2, 0);
        AddKamoku(110, u"会費収入"_qs, 10);
        AddKamoku(210, u"行事費"_qs, 20);
        AddKamoku(410, u"預り金払出"_qs, 40);
        AddYosan(2021, 0, 100, 300000);
        AddYosan(2021, 1, 100, 50000);
        AddKurikosi(2021, 0, 410, 20000);
        AddGeneratedLines(300, 2, u"20210401"_qs, u"20220331"_qs, {110, 210, 410});
        // The year saved as the window saves it, and a line of the next year that
        // neither book may show.
        Exec(
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, "
            "SISYUTSU) select SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU "
            "from W_MEISAI"_qs);
        Exec(
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU) "
            "values (9001, 0, 2022, '20220501', 110, 777777)"_qs);
    }

    // Rows of the work tables this attachment has read or changed so far.
    qint64 WorkRowsTouched() {
        return module_->SQLConnection1
            .Select(
                u"select coalesce(sum(R.MON$RECORD_SEQ_READS + R.MON$RECORD_IDX_READS + "
                "R.MON$RECORD_INSERTS + R.MON$RECORD_UPDATES + R.MON$RECORD_DELETES), 0) "
                "from MON$TABLE_STATS T join MON$RECORD_STATS R on (R.MON$STAT_ID = T.MON$RECORD_STAT_ID) "
                "join MON$ATTACHMENTS A on (A.MON$STAT_ID = T.MON$STAT_ID) "
                "where (A.MON$ATTACHMENT_ID = current_connection) "
                "and (T.MON$TABLE_NAME in ('W_MEISAI', 'W_KEY'))"_qs)
            .rows.at(0)
            .at(0)
            .AsInteger();
    }
};

TEST_F(SavedYearReportTest, TheSavedYearsBooksEqualTheLoadsAndTouchNoWorkRow) {
    const struct {
        const char* name;
        std::function<std::unique_ptr<TTsubakiExcelBaseModule>()> make;
    } cases[] = {
        {"listing, whole year", [] { return std::make_unique<TExlSyusiMeisaiModule>(); }},
        {"listing, one division from June to September",
         [] {
             auto listing = std::make_unique<TExlSyusiMeisaiModule>();
             listing->SetKaisibi(u"20210601"_qs);
             listing->SetSyuryobi(u"20210930"_qs);
             listing->SetTaisyoKubun(1);
             return listing;
         }},
        {"monthly summary", [] { return std::make_unique<TExlTsukibetsuSyukeiModule>(); }},
    };
    // One attachment throughout, so that its statistics add up over the runs.
    const db::Connection::DatasetUse attachment = module_->SQLConnection1.UseDataset();
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString fromLoad = temp_.File(QStringLiteral("load%1.xlsx").arg(++n));
        // The window's load of the saved year.
        Exec(u"delete from W_MEISAI"_qs);
        Exec(
            u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, MMDD, AITE, "
            u"TEKIYO, "
            "KAMOKU, SYUNYU, SISYUTSU) select :C, :J, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, "
            "substring(HIZUKE from 5 for 4), AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU from MEISAI "
            "where (NENDO = 2021)"_qs,
            {{u"C"_qs, GetComputerNameStr()}, {u"J"_qs, kJikoku}});
        const qint64 beforeLoad = WorkRowsTouched();
        {
            std::unique_ptr<TTsubakiExcelBaseModule> report = c.make();
            report->SetNendo(2021);
            report->SetJikoku(kJikoku);
            report->Execute();
            ASSERT_EQ(report->SavedFiles().size(), 1);
            ASSERT_TRUE(QFile::rename(report->SavedFiles().front(), fromLoad));
        }
        const qint64 touched = WorkRowsTouched();
        ASSERT_GT(touched, beforeLoad) << "the load's book reads the work rows, and the count shows it";
        Exec(u"delete from W_MEISAI"_qs);  // nothing of the load left to read
        const qint64 deleted = WorkRowsTouched();
        std::unique_ptr<TTsubakiExcelBaseModule> report = c.make();
        report->SetNendo(2021);
        report->SetSavedYear(true);
        report->Execute();
        ASSERT_EQ(report->SavedFiles().size(), 1);
        EXPECT_EQ(WorkRowsTouched(), deleted);

        sheet::Package load = sheet::Package::Load(fromLoad);
        sheet::Package saved = sheet::Package::Load(report->SavedFiles().front());
        ASSERT_TRUE(saved.PartNames() == load.PartNames());
        int sheets = 0;
        for (const QString& part : load.PartNames()) {
            // docProps: the time the book was made; anything not XML: nothing the rows change.
            if (part.startsWith(u"docProps/"_qs) ||
                !(part.endsWith(u".xml"_qs) || part.endsWith(u".rels"_qs)))
                continue;
            sheets += part.startsWith(u"xl/worksheets/sheet"_qs) ? 1 : 0;
            EXPECT_TRUE(sheet::SerializeXml(saved.Xml(part)) == sheet::SerializeXml(load.Xml(part)))
                << part.toStdString();
        }
        EXPECT_GE(sheets, 1);
        QFile::remove(report->SavedFiles().front());
    }
}

}  // namespace
