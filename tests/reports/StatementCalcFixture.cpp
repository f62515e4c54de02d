#include "tests/reports/StatementCalcFixture.h"

#include "db/YearQueries.h"
#include "tests/support/LibreOffice.h"

#include <QFile>

qint64 PrintedAmount(QString text) {
    text.remove(u',');
    if (text.startsWith(u'△'))
        text = u'-' + text.mid(1);
    return text.isEmpty() ? 0 : text.toLongLong();
}

QString PrintedOrder(const QString& table) {
    const QString line = u"(case when %1.KAMOKU in (7000, 8000) then 100 else %1.JUNJYO end)"_qs;
    return u" order by W.KAIKEI_KUBUN, W.SYUSI_KUBUN, (select min(%1) from %2 X where X.JIKOKU = W.JIKOKU"
           " and X.KAIKEI_KUBUN = W.KAIKEI_KUBUN and X.BUNRUI = W.BUNRUI), W.BUNRUI_JUNJYO, W.BUNRUI, %3,"
           " W.KAMOKU_JUNJYO, W.KAMOKU"_qs.arg(line.arg(u"X"_qs), table, line.arg(u"W"_qs));
}

QStringList ClassificationsPrinted(const std::vector<QStringList>& csv, int first, int last,
                                   const std::map<int, QString>& names) {
    QStringList printed;
    for (int r = first; r < last; ++r) {
        const QString a = csv[std::size_t(r)].value(0);
        for (const auto& [cd, name] : names) {
            if (a == name)
                printed << name;
        }
    }
    return printed;
}

void StatementCalcFixture::SetUp() {
    soffice_ = FindSoffice();
    if (soffice_.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    ReportFixture::SetUp();
}

void StatementCalcFixture::TearDown() {
    nendoRow_.Close();
    ReportFixture::TearDown();
}

void StatementCalcFixture::UseSampleOrganisation() {
    module_->SQLConnection1.Close();
    const QString sample = qEnvironmentVariable("TSUBAKI_APP_DIR") + u"/OrgDB/SampleDB/TSUBAKI.FDB"_qs;
    ASSERT_TRUE(QFile::remove(database_.Path()));
    ASSERT_TRUE(QFile::copy(sample, database_.Path()));
    QFile::setPermissions(database_.Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

std::vector<int> StatementCalcFixture::Divisions() {
    std::vector<int> codes;
    for (const auto& r : module_->SQLConnection1
                             .Select(db::DivisionsOfYearSql(u"CD"_qs),
                                     {{u"KAISI_NENDO"_qs, nendo_}, {u"SYURYO_NENDO"_qs, nendo_}})
                             .rows)
        codes.push_back(int(r[0].AsInteger()));
    return codes;
}

void StatementCalcFixture::EditNendoRow() {
    nendoRow_.SetConnection(&module_->SQLConnection1);
    nendoRow_.SetCommandText(u"select * from NENDO where (NENDO = :Nendo)"_qs);
    nendoRow_.SetParam(u"Nendo"_qs, nendo_);
    nendoRow_.Open();
    ASSERT_FALSE(nendoRow_.IsEmpty());
    nendoRow_.Edit();
}

std::map<int, QString> StatementCalcFixture::BunruiNames() {
    std::map<int, QString> names;
    for (const auto& r : module_->SQLConnection1.Select(u"select CD, MEISYO from BUNRUI"_qs).rows)
        names[int(r[0].AsInteger())] = r[1].AsString();
    return names;
}

void StatementCalcFixture::AddSplitOrderChart() {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    AddBunrui(11, u"収入分類11"_qs, 1, 1, 1);
    AddBunrui(12, u"収入分類12"_qs, 1, 1, 2);
    AddBunrui(21, u"支出分類21"_qs, 2, 1, 3);
    AddBunrui(22, u"支出分類22"_qs, 2, 1, 4);
    AddBunrui(23, u"支出分類23"_qs, 2, 1, 5);
    for (int cd : {1101, 1102, 1103, 1201, 1202, 2101, 2102, 2103, 2201, 2202, 2301})
        AddKamoku(cd, u"科目%1"_qs.arg(cd), cd / 100, cd % 100);
}
