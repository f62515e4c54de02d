// The run flow shared by every report: opening by extension, the start and
// template failures, failures while writing, the key parameters and the
// growth of detail rows.

#include "core/Errors.h"
#include "reports/TsubakiExcelBaseModuleUnit.h"
#include "sheet/Application.h"
#include "sheet/Range.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/reports/ReportFixture.h"

#include <QDir>
#include <QFile>

#include <functional>

namespace {

// A report whose writing step is the test's own.
class ProbeModule : public TTsubakiExcelBaseModule {
  public:
    std::function<void(ProbeModule&)> write;
    QString sheetAtWrite;

    using TTsubakiExcelBaseModule::ExtendDetailRows;
    using TTsubakiExcelBaseModule::FillReportParams;
    using TTsubakiExcelBaseModule::KaikeiKubun;
    using TTsubakiExcelBaseModule::KaisiGyo;
    using TTsubakiExcelBaseModule::KaisiRetsu;
    using TTsubakiExcelBaseModule::MeisaiGyosu;
    using TTsubakiExcelBaseModule::RecGyo;
    using TTsubakiExcelBaseModule::Sheet;
    using TTsubakiExcelBaseModule::SQLDataSet1;
    using TTsubakiExcelBaseModule::Syuryoretsu;

  protected:
    void WriteSheet() override {
        sheetAtWrite = Sheet ? Sheet->Name() : QString();
        if (write)
            write(*this);
    }
};

class ExcelBaseModuleTest : public ReportFixture {
  protected:
    QString Template() const { return ProgramFolder() + u"/Template/収支明細書.xltx"_qs; }

    void Prepare(ProbeModule& m) {
        m.SetBookmei(Template());
        m.SetSheetmei(u"収支明細書"_qs);
        m.SQLDataSet1.SetCommandText(u"select NENDO from NENDO where (NENDO = :Nendo)"_qs);
        m.SetProgress(&progress_);
    }
    QStringList Saved() const { return QDir(ReportFolder()).entryList(QDir::Files); }

    // What a run tells the window that started it.
    struct Recorder : IReportProgress {
        QList<bool>& busy;
        explicit Recorder(QList<bool>& b) : busy(b) {}
        void Busy(bool on) override { busy << on; }
        void Step(const QString&, int, int) override {}
    };
    QList<bool> busy_;
    Recorder progress_{busy_};
};

TEST(IsTemplatePathTest, TemplatesByExtensionInAnyCase) {
    struct Case {
        const char16_t* path;
        bool isTemplate;
    };
    for (const Case c : {Case{u"/a/収支明細書.xltx", true}, Case{u"/a/B.XLT", true}, Case{u"/a/b.Xltx", true},
                         Case{u"/a/b.xlsx", false}, Case{u"/a/b.xls", false}, Case{u"/a/xlt", false}}) {
        SCOPED_TRACE(QString::fromUtf16(c.path).toStdString());
        EXPECT_EQ(IsTemplatePath(QString::fromUtf16(c.path)), c.isTemplate);
    }
}

TEST_F(ExcelBaseModuleTest, TemplateMakesANewBookAndAnyOtherFileIsOpenedItself) {
    ProbeModule fromTemplate;
    Prepare(fromTemplate);
    fromTemplate.write = [](ProbeModule& m) { m.Sheet->Range(u"C3"_qs).SetValue(u"新しいブック"_qs); };
    fromTemplate.Execute();
    EXPECT_EQ(fromTemplate.sheetAtWrite, u"収支明細書"_qs);
    EXPECT_EQ(busy_, (QList<bool>{true, false}));
    ASSERT_EQ(fromTemplate.SavedFiles().size(), 1);
    EXPECT_TRUE(fromTemplate.SavedFiles().front().endsWith(u".xlsx"_qs));
    EXPECT_EQ(CellText(SavedBook(fromTemplate.SavedFiles()).Sheets().Item(1), u"C3"_qs), u"新しいブック"_qs);

    // A workbook is opened as that file and handed to the viewer as it is.
    ProbeModule existing;
    Prepare(existing);
    existing.SetBookmei(fromTemplate.SavedFiles().front());
    existing.Execute();
    EXPECT_EQ(existing.SavedFiles(), QStringList());
    EXPECT_EQ(Saved().size(), 1);
}

TEST_F(ExcelBaseModuleTest, MissingViewerStopsBeforeAnythingIsWritten) {
    WriteSettings(u"no-such-viewer-program"_qs);
    ProbeModule m;
    Prepare(m);
    bool wrote = false;
    m.write = [&wrote](ProbeModule&) { wrote = true; };
    try {
        m.Execute();
        FAIL() << "no error";
    } catch (const EAppError& e) {
        EXPECT_TRUE(e.Message().startsWith(u"Excelの起動を失敗しました。\r\n\r\n"_qs));
        EXPECT_EQ(e.Message().count(u"Excelの起動を失敗しました。"_qs), 1);
    }
    EXPECT_FALSE(wrote);
    EXPECT_EQ(Saved(), QStringList());
    EXPECT_EQ(busy_, (QList<bool>{true, false}));
}

TEST_F(ExcelBaseModuleTest, MissingTemplateAndFailedWritingShowNothing) {
    ProbeModule missing;
    Prepare(missing);
    missing.SetBookmei(ProgramFolder() + u"/Template/ありません.xltx"_qs);
    EXPECT_THROW(missing.Execute(), std::exception);
    EXPECT_EQ(busy_, (QList<bool>{true, false}));

    ProbeModule missingSheet;
    Prepare(missingSheet);
    missingSheet.SetSheetmei(u"Sheet9"_qs);
    EXPECT_THROW(missingSheet.Execute(), EAppError);

    ProbeModule failing;
    Prepare(failing);
    failing.write = [](ProbeModule&) { throw EAppError(u"書き込み失敗"_qs); };
    EXPECT_THROW(failing.Execute(), EAppError);
    EXPECT_EQ(Saved(), QStringList());
    EXPECT_EQ(busy_.size(), 6);
    EXPECT_EQ(busy_.back(), false);
}

TEST_F(ExcelBaseModuleTest, FillReportParamsSetsTheKeyParametersTheQueryNames) {
    ProbeModule m;
    m.SetNendo(2022);
    m.SetJikoku(u"20240102030405"_qs);
    m.KaikeiKubun = 3;
    data::SqlCommand command(u"Q"_qs);
    command.SetCommandText(
        u"select * from W_MEISAI where (cpu_name = :Cpu_Name) and (JIKOKU = :jikoku) and (NENDO = :NENDO) "
        "and (KAIKEI_KUBUN = :KAIKEI_KUBUN) and (HIZUKE >= :Kaisibi)"_qs);
    m.FillReportParams(command);
    const auto value = [&command](const QString& name) -> std::optional<db::Value> {
        for (const auto& [n, v] : command.Params()) {
            if (n.compare(name, Qt::CaseInsensitive) == 0)
                return v;
        }
        return std::nullopt;
    };
    EXPECT_EQ(value(u"JIKOKU"_qs), db::Value(u"20240102030405"_qs));
    EXPECT_EQ(value(u"NENDO"_qs), db::Value(2022));
    EXPECT_EQ(value(u"KAIKEI_KUBUN"_qs), db::Value(3));
    EXPECT_TRUE(value(u"CPU_NAME"_qs).has_value());
    EXPECT_FALSE(value(u"Kaisibi"_qs).has_value());
}

TEST_F(ExcelBaseModuleTest, ExtendDetailRowsGrowsOnlyWhenTheTemplateHasTooFewRows) {
    struct Case {
        int records;
        int kaisiGyo;
        int recGyo;
        int meisaiGyosu;
        int totalRow;  // where the template's total row (9) ends up
    };
    // Records of two rows: rows 5-6 and 7-8 of the listing template.
    for (const Case c : {Case{2, 6, 1, 3, 9}, Case{3, 6, 1, 3, 9}, Case{4, 6, 1, 3, 10}, Case{7, 6, 1, 3, 13},
                         Case{1, 5, 2, 2, 9}, Case{2, 5, 2, 2, 9}, Case{3, 5, 2, 2, 11}}) {
        SCOPED_TRACE(testing::Message() << c.records << " records of " << c.recGyo << " rows");
        ProbeModule m;
        Prepare(m);
        m.write = [&c](ProbeModule& p) {
            p.KaisiGyo = c.kaisiGyo;
            p.RecGyo = c.recGyo;
            p.MeisaiGyosu = c.meisaiGyosu;
            p.KaisiRetsu = 1;
            p.Syuryoretsu = 1;
            p.Sheet->Range(u"B7"_qs).SetValue(u"第二行"_qs);
            sheet::RowWriter& rows = p.ExtendDetailRows(c.records);
            EXPECT_EQ(rows.Count(), c.records * c.recGyo);
            for (int r = 0; r < rows.Count(); ++r) {
                rows.Integer(1, r + 1);
                rows.NextRow();
            }
            rows.Finish();
        };
        m.Execute();
        sheet::Worksheet& s = SavedBook(m.SavedFiles()).Sheets().Item(1);
        EXPECT_EQ(CellText(s, QStringLiteral("A%1").arg(c.totalRow)), u"合計"_qs);
        // The records' rows carry the values; new rows are copies of the second record.
        for (int r = 0; r < c.records * c.recGyo; ++r)
            EXPECT_EQ(CellText(s, QStringLiteral("A%1").arg(c.kaisiGyo + r)), QString::number(r + 1));
        for (int k = 0; k < c.records - c.meisaiGyosu; ++k) {
            const int row = c.kaisiGyo + (2 + k) * c.recGyo;
            EXPECT_EQ(CellText(s, QStringLiteral("B%1").arg(row)), u"第二行"_qs) << row;
        }
        QDir(ReportFolder()).removeRecursively();
    }
}

}  // namespace
