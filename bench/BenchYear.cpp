#include "bench/BenchYear.h"

#include "core/ComputerName.h"
#include "core/KyotsuUnit.h"
#include "db/Connection.h"
#include "db/DataModule.h"

#include <QDate>
#include <QFile>
#include <QTextStream>

#include <stdexcept>

namespace bench {
namespace {

struct Item {
    int cd;
    const char16_t* name;
    int bunrui;
    int syusi;  // 1 receipts, 2 payments
    bool outside;
};

constexpr Item kItems[] = {
    {1001, u"会費収入", 10, 1, false},    {1002, u"賛助会費", 10, 1, false},
    {1101, u"バザー収入", 11, 1, false},  {1102, u"廃品回収", 11, 1, false},
    {2001, u"行事費", 20, 2, false},      {2002, u"祭礼費", 20, 2, false},
    {2003, u"防犯灯費", 20, 2, false},    {2101, u"事務費", 21, 2, false},
    {2102, u"通信費", 21, 2, false},      {2103, u"会議費", 21, 2, false},
    {4001, u"共同募金預り", 40, 1, true}, {4101, u"共同募金納付", 41, 2, true},
};

const char16_t* const kDivisions[] = {u"一般会計", u"祭礼会計", u"施設会計"};
const char16_t* const kAite[] = {u"町内会員", u"○○商店", u"市役所", u"銀行", u"電力会社", u""};
const char16_t* const kTekiyo[] = {u"会費", u"夏祭り 備品購入", u"防犯灯 電気代",
                                   u"利息", u"清掃用品",        u"回覧板 印刷"};

void Exec(db::Connection& c, const QString& sql, const db::Connection::Params& params = {}) {
    c.Execute(sql, params);
}

// The item of line `seq`: mostly statement items, every 40th an outside one.
const Item& ItemOf(int seq) {
    if (seq % 40 == 0)
        return kItems[10 + (seq / 40) % 2];
    return kItems[seq % 10];
}

QString LedgerAccount(const Item& item, int division) {
    const QString kind = item.outside      ? QStringLiteral("Liabilities")
                         : item.syusi == 1 ? QStringLiteral("Income")
                                           : QStringLiteral("Expenses");
    return kind + u':' + QString::fromUtf16(kDivisions[division]) + u':' + QString::fromUtf16(item.name);
}

}  // namespace

void GenerateYear(const QString& emptyDb, const QString& dbPath, const QString& ledgerPath,
                  const BenchYear& year) {
    QFile::remove(dbPath);
    if (!QFile::copy(emptyDb, dbPath))
        throw std::runtime_error("cannot copy " + emptyDb.toStdString());
    QFile::setPermissions(dbPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    const QDate first(year.nendo, 4, 1);
    const QDate last = first.addYears(1).addDays(-1);
    db::Connection c([dbPath] { return dbPath; });
    c.StartTransaction();
    Exec(c,
         QStringLiteral("insert into NENDO (NENDO, KISYUBI, KIMATSUBI, NENGO_KUBUN) values (:N, :S, :E, 0)"),
         {{QStringLiteral("N"), year.nendo},
          {QStringLiteral("S"), first.toString(QStringLiteral("yyyyMMdd"))},
          {QStringLiteral("E"), last.toString(QStringLiteral("yyyyMMdd"))}});
    for (int d = 1; d < 3; ++d) {
        Exec(c, QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (:CD, :M)"),
             {{QStringLiteral("CD"), d}, {QStringLiteral("M"), QString::fromUtf16(kDivisions[d])}});
    }
    const struct {
        int cd;
        const char16_t* name;
        int syusi;
        int kessansyo;
    } bunrui[] = {{10, u"会費", 1, 1},   {11, u"事業収入", 1, 1}, {20, u"事業費", 2, 1},
                  {21, u"管理費", 2, 1}, {40, u"預り金", 1, 0},   {41, u"預り金払出", 2, 0}};
    for (const auto& b : bunrui) {
        Exec(c,
             QStringLiteral(
                 "insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, "
                 "TOKUBETSU_KAIKEI) values (:CD, :M, :S, :K, :CD, 0, 0)"),
             {{QStringLiteral("CD"), b.cd},
              {QStringLiteral("M"), QString::fromUtf16(b.name)},
              {QStringLiteral("S"), b.syusi},
              {QStringLiteral("K"), b.kessansyo}});
    }
    for (const Item& item : kItems) {
        Exec(c,
             QStringLiteral("insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD) "
                            "values (:CD, :M, :B, 1, 0, 0)"),
             {{QStringLiteral("CD"), item.cd},
              {QStringLiteral("M"), QString::fromUtf16(item.name)},
              {QStringLiteral("B"), item.bunrui}});
    }
    for (int d = 0; d < 3; ++d) {
        Exec(
            c,
            QStringLiteral("insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (:N, :D, 100, :Y)"),
            {{QStringLiteral("N"), year.nendo},
             {QStringLiteral("D"), d},
             {QStringLiteral("Y"), 500000 * (d + 1)}});
    }

    QFile ledgerFile(ledgerPath);
    const bool ledger = !ledgerPath.isEmpty();
    if (ledger && !ledgerFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + ledgerPath.toStdString());
    QTextStream out(&ledgerFile);
    if (ledger) {
        for (int d = 0; d < 3; ++d) {
            out << first.addDays(-1).toString(QStringLiteral("yyyy-MM-dd"))
                << " 前年度繰越\n    Assets:" << QString::fromUtf16(kDivisions[d]) << "  " << 500000 * (d + 1)
                << "\n    Equity:" << QString::fromUtf16(kDivisions[d]) << "\n\n";
        }
    }

    const QString insert = QStringLiteral(
        "insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, NENDO, KAIKEI_KUBUN, HIZUKE, MMDD, AITE, TEKIYO, "
        "KAMOKU, "
        "SYUNYU, SISYUTSU) values (:C, :J, :Q, :N, :D, :H, :MD, :A, :T, :K, :S1, :S2)");
    const QString cpu = GetComputerNameStr();
    const int days = int(first.daysTo(last)) + 1;
    for (int seq = 1; seq <= year.lines; ++seq) {
        const QDate date = first.addDays(qint64(seq - 1) * days / year.lines);
        const QString hizuke = date.toString(QStringLiteral("yyyyMMdd"));
        const Item& item = ItemOf(seq);
        const int division = seq % 3;
        const int amount = 100 * (seq % 97 + 1);
        const QString aite = QString::fromUtf16(kAite[seq % 6]);
        const QString tekiyo = QString::fromUtf16(kTekiyo[seq % 6]);
        Exec(c, insert,
             {{QStringLiteral("C"), cpu},
              {QStringLiteral("J"), QString::fromLatin1(kBenchJikoku)},
              {QStringLiteral("Q"), seq},
              {QStringLiteral("N"), year.nendo},
              {QStringLiteral("D"), division},
              {QStringLiteral("H"), hizuke},
              {QStringLiteral("MD"), hizuke.mid(4)},
              {QStringLiteral("A"), aite},
              {QStringLiteral("T"), tekiyo},
              {QStringLiteral("K"), item.cd},
              {QStringLiteral("S1"), item.syusi == 1 ? db::Value(amount) : db::Value()},
              {QStringLiteral("S2"), item.syusi == 2 ? db::Value(amount) : db::Value()}});
        if (ledger) {
            const int signedAmount = item.syusi == 1 ? amount : -amount;
            out << date.toString(QStringLiteral("yyyy-MM-dd")) << ' ' << (aite.isEmpty() ? tekiyo : aite)
                << " | " << tekiyo << "\n    Assets:" << QString::fromUtf16(kDivisions[division]) << "  "
                << signedAmount << "\n    " << LedgerAccount(item, division) << "\n\n";
        }
    }
    c.Commit();
    c.Close();
    if (ledger) {
        out.flush();
        if (out.status() != QTextStream::Ok)
            throw std::runtime_error("cannot write " + ledgerPath.toStdString());
    }
}

void GenerateSavedYear(const QString& emptyDb, const QString& dbPath, const BenchYear& year,
                       bool allGeneral) {
    GenerateYear(emptyDb, dbPath, QString(), year);
    db::Connection c([dbPath] { return dbPath; });
    c.StartTransaction();
    c.Execute(QStringLiteral(
        "insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) "
        "select SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU from W_MEISAI"));
    c.Execute(QStringLiteral("delete from W_MEISAI"));
    if (allGeneral)
        c.Execute(QStringLiteral("update MEISAI set KAIKEI_KUBUN = 0"));
    c.Commit();
    c.Close();
}

BenchOrganisation::BenchOrganisation(const QString& emptyDb, const BenchYear& year,
                                     const std::function<void(db::Connection&)>& prepare) {
    const QString path = dir_.filePath(QStringLiteral("TSUBAKI.FDB"));
    GenerateSavedYear(emptyDb, path, year, year.allGeneral);
    if (prepare) {
        db::Connection c([path] { return path; });
        prepare(c);
        c.Close();
    }
    LogInBenchOrganisation(year.nendo);
    module_ = std::make_unique<TDataModule1>([path] { return path; });
}

BenchSession::BenchSession(const QString& path, int nendo) : module_([path] { return path; }) {
    LogInBenchOrganisation(nendo);
}

void LogInBenchOrganisation(int nendo) {
    CurrentDantai = QStringLiteral("ベンチ町会");
    CurrentNendo = nendo;
}

BenchOrganisation::~BenchOrganisation() = default;

db::Connection& BenchOrganisation::connection() {
    return module_->SQLConnection1;
}

}  // namespace bench
