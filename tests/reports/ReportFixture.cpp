#include "tests/reports/ReportFixture.h"

#include "core/ComputerName.h"
#include "core/KyotsuUnit.h"
#include "platform/Folders.h"
#include "sheet/Range.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

#include <QDate>
#include <QDir>
#include <QFile>

const QString ReportFixture::kJikoku = QStringLiteral("20240501093000");

void ReportFixture::SetUp() {
    const QString templates = ProgramFolder() + QStringLiteral("/Template");
    ASSERT_TRUE(QDir().mkpath(templates));
    const QString built = qEnvironmentVariable("TSUBAKI_APP_DIR") + QStringLiteral("/Template/");
    for (const QString& name : QDir(built).entryList({QStringLiteral("*.xltx"), QStringLiteral("*.xlsx")}, QDir::Files))
        ASSERT_TRUE(QFile::copy(built + name, templates + u'/' + name)) << name.toStdString();
    WriteSettings(QString());
    platform::OverrideProgramFolder(ProgramFolder());
    ClearLoginState();
    CurrentDantai = QStringLiteral("東町会");
    CurrentNendo = 2021;
    module_ = std::make_unique<TDataModule1>(database_.Provider());
    installation_ = std::make_unique<DataModuleInstallation>(*module_);
}

void ReportFixture::TearDown() {
    // Reports never ask anything; a dialog here is a failed database operation.
    for (const RecordedDialog& dialog : dialogs_.Shown())
        ADD_FAILURE() << dialog.text.toStdString();
    installation_.reset();
    module_.reset();
    platform::OverrideProgramFolder(QString());
    ClearLoginState();
}

void ReportFixture::WriteSettings(const QString& viewer) {
    WriteFile(ProgramFolder() + QStringLiteral("/Tsubaki.ini"),
              (QStringLiteral("[Report]\nOutputFolder=") + ReportFolder() + QStringLiteral("\nViewer=") +
               viewer + u'\n')
                  .toUtf8());
}

void ReportFixture::Exec(const QString& sql, const db::Connection::Params& params) {
    module_->SQLConnection1.Execute(sql, params);
}

void ReportFixture::AddYear(int nendo, const QString& kisyubi, const QString& kimatsubi, int nengoKubun) {
    Exec(QStringLiteral("insert into NENDO (NENDO, KISYUBI, KIMATSUBI, NENGO_KUBUN) values (:N, :S, :E, :G)"),
         {{QStringLiteral("N"), nendo},
          {QStringLiteral("S"), kisyubi},
          {QStringLiteral("E"), kimatsubi},
          {QStringLiteral("G"), nengoKubun}});
}

void ReportFixture::AddBunrui(int cd, const QString& name, int syusiKubun, int kessansyoKubun, int junjyo) {
    Exec(QStringLiteral("insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, "
                        "TOKUBETSU_KAIKEI) values (:CD, :M, :S, :K, :J, 0, 0)"),
         {{QStringLiteral("CD"), cd},
          {QStringLiteral("M"), name},
          {QStringLiteral("S"), syusiKubun},
          {QStringLiteral("K"), kessansyoKubun},
          {QStringLiteral("J"), junjyo}});
}

void ReportFixture::AddKamoku(int cd, const QString& name, int bunrui, int junjyo) {
    Exec(QStringLiteral("insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD) "
                        "values (:CD, :M, :B, :J, 0, 0)"),
         {{QStringLiteral("CD"), cd},
          {QStringLiteral("M"), name},
          {QStringLiteral("B"), bunrui},
          {QStringLiteral("J"), junjyo}});
}

void ReportFixture::AddDivision(int cd, const QString& name) {
    Exec(QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (:CD, :M)"),
         {{QStringLiteral("CD"), cd}, {QStringLiteral("M"), name}});
}

void ReportFixture::AddYosan(int nendo, int division, int kamoku, int amount) {
    Exec(QStringLiteral("insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (:N, :D, :K, :Y)"),
         {{QStringLiteral("N"), nendo},
          {QStringLiteral("D"), division},
          {QStringLiteral("K"), kamoku},
          {QStringLiteral("Y"), amount}});
}

void ReportFixture::AddKurikosi(int nendo, int division, int kamoku, int amount) {
    Exec(QStringLiteral(
             "insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI) values (:N, :D, :K, :Y)"),
         {{QStringLiteral("N"), nendo},
          {QStringLiteral("D"), division},
          {QStringLiteral("K"), kamoku},
          {QStringLiteral("Y"), amount}});
}

void ReportFixture::AddLine(int seq, int division, const QString& hizuke, int kamoku,
                            std::optional<int> syunyu, std::optional<int> sisyutsu, const QString& aite,
                            const QString& tekiyo, const QString& jikoku) {
    const auto amount = [](std::optional<int> v) { return v ? db::Value(*v) : db::Value(); };
    Exec(QStringLiteral(
             "insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, NENDO, KAIKEI_KUBUN, HIZUKE, MMDD, AITE, "
             "TEKIYO, KAMOKU, SYUNYU, SISYUTSU) values (:C, :J, :Q, 2021, :D, :H, :MD, :A, :T, :K, "
             ":S1, :S2)"),
         {{QStringLiteral("C"), GetComputerNameStr()},
          {QStringLiteral("J"), jikoku},
          {QStringLiteral("Q"), seq},
          {QStringLiteral("D"), division},
          {QStringLiteral("H"), hizuke},
          {QStringLiteral("MD"), hizuke.mid(4, 4)},
          {QStringLiteral("A"), aite.isNull() ? db::Value() : db::Value(aite)},
          {QStringLiteral("T"), tekiyo.isNull() ? db::Value() : db::Value(tekiyo)},
          {QStringLiteral("K"), kamoku},
          {QStringLiteral("S1"), amount(syunyu)},
          {QStringLiteral("S2"), amount(sisyutsu)}});
}

std::vector<ReportFixture::Line> ReportFixture::AddGeneratedLines(int count, int divisions,
                                                                  const QString& first, const QString& last,
                                                                  const std::vector<int>& items) {
    const QDate from = QDate::fromString(first, QStringLiteral("yyyyMMdd"));
    const qint64 days = from.daysTo(QDate::fromString(last, QStringLiteral("yyyyMMdd"))) + 1;
    const QString aite[] = {u"町内会員"_qs, u"○○商店"_qs, u"0120"_qs, QString(), u"A&B <商会>"_qs};
    const QString tekiyo[] = {u"会費"_qs, u"=花代"_qs, u" 前に空白"_qs, u"電気代"_qs, QString(), u"+1"_qs};
    std::vector<Line> lines;
    module_->SQLConnection1.StartTransaction();
    for (int i = 0; i < count; ++i) {
        Line line;
        line.seq = count - i;  // line numbers against the date order
        line.division = i % divisions;
        line.hizuke = from.addDays(qint64(i) * days / count).toString(QStringLiteral("yyyyMMdd"));
        line.kamoku = i % 17 == 5 ? 999 : items[std::size_t(i * 7 % int(items.size()))];
        const int amount = 100 * (i * 37 % 113 + 1);
        if (i % 3 == 0)
            line.sisyutsu = amount;
        else
            line.syunyu = amount;
        if (i % 29 == 0)
            line.syunyu = 0;
        line.aite = aite[i % 5];
        line.tekiyo = tekiyo[i % 6];
        AddLine(line.seq, line.division, line.hizuke, line.kamoku, line.syunyu, line.sisyutsu, line.aite,
                line.tekiyo);
        lines.push_back(line);
    }
    module_->SQLConnection1.Commit();
    return lines;
}

sheet::Workbook& ReportFixture::SavedBook(const QStringList& files) {
    EXPECT_EQ(files.size(), 1);
    EXPECT_EQ(QDir(ReportFolder()).entryList(QDir::Files).size(), 1);
    return reader_.Workbooks().Open(files.value(0));
}

QString CellText(sheet::Worksheet& sheet, const QString& address) {
    const QVariant v = sheet.Range(address).Value();
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'f', 0);
    return v.toString();
}

QString CellFormula(sheet::Worksheet& sheet, const QString& address) {
    return sheet.Range(address).Formula().toString();
}
