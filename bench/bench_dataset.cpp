// The in-memory dataset against bare statements on the same connection, in one run:
// loading 100,000 journal lines, and writing 100,000 new ones back.
//   BM_Load/DataSet      DataSet::Open of "select * from MEISAI"
//   BM_Load/Bare         Connection::Select of the same text
//   BM_ApplyInserts/DataSet   ApplyUpdates of 100,000 appended rows (appending not timed)
//   BM_ApplyInserts/Bare      the same inserts as a loop of Connection::Execute in one transaction
//   BM_AppendRows        appending and posting 100,000 rows through the fields (in memory)

#include "data/DataSet.h"
#include "db/Connection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kRows = 100000;

// One journal line of a plausible year: dates through April..March, a few items,
// receipts or payments.
db::Connection::Params MeisaiLine(int seq) {
    static const char16_t* const aite[] = {u"町内会員", u"○○商店", u"市役所", u"銀行", u""};
    static const char16_t* const tekiyo[] = {u"会費 4月分", u"夏祭り 備品購入", u"防犯灯 電気代", u"利息",
                                             u"清掃用品"};
    const int month = (seq / 300) % 12;
    const int year = month < 9 ? 2021 : 2022;
    const QString hizuke = QStringLiteral("%1%2%3")
                               .arg(year)
                               .arg((month + 3) % 12 + 1, 2, 10, QLatin1Char('0'))
                               .arg(seq % 28 + 1, 2, 10, QLatin1Char('0'));
    const bool receipt = seq % 3 == 0;
    return {
        {QStringLiteral("SEQ_NO"), seq},
        {QStringLiteral("KAIKEI_KUBUN"), seq % 4 == 0 ? 1 : 0},
        {QStringLiteral("NENDO"), 2021},
        {QStringLiteral("HIZUKE"), hizuke},
        {QStringLiteral("AITE"), QString::fromUtf16(aite[seq % 5])},
        {QStringLiteral("TEKIYO"), QString::fromUtf16(tekiyo[seq % 5])},
        {QStringLiteral("KAMOKU"), receipt ? 1010 : 5010 + seq % 7},
        {QStringLiteral("SYUNYU"), receipt ? db::Value(1000 * (seq % 50 + 1)) : db::Value()},
        {QStringLiteral("SISYUTSU"), receipt ? db::Value() : db::Value(120 * (seq % 90 + 1))},
    };
}

const QString kInsert = QStringLiteral(
    "insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) "
    "values (:SEQ_NO, :KAIKEI_KUBUN, :NENDO, :HIZUKE, :AITE, :TEKIYO, :KAMOKU, :SYUNYU, :SISYUTSU)");

// A copy of the empty organisation database for this run.
class Scratch {
  public:
    Scratch() {
        path_ = dir_.filePath(QStringLiteral("TSUBAKI.FDB"));
        if (!QFile::copy(QStringLiteral(TSUBAKI_EMPTY_ORGDB), path_)) {
            std::fprintf(stderr, "cannot copy %s\n", TSUBAKI_EMPTY_ORGDB);
            std::abort();
        }
        QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        connection = std::make_unique<db::Connection>([p = path_] { return p; });
    }
    std::unique_ptr<db::Connection> connection;

  private:
    QTemporaryDir dir_;
    QString path_;
};

Scratch& Database() {
    static Scratch scratch;
    return scratch;
}

void InsertBare(db::Connection& c, int first) {
    c.StartTransaction();
    for (int i = 0; i < kRows; ++i)
        c.Execute(kInsert, MeisaiLine(first + i));
    c.Commit();
}

void EnsureLoaded(db::Connection& c) {
    if (c.Select(QStringLiteral("select count(*) from MEISAI")).rows[0][0].AsInteger() == 0)
        InsertBare(c, 1);
}

void DeleteFrom(db::Connection& c, int first) {
    c.Execute(QStringLiteral("delete from MEISAI where SEQ_NO >= :First"),
              {{QStringLiteral("First"), first}});
}

void BM_Load_DataSet(benchmark::State& state) {
    db::Connection& c = *Database().connection;
    EnsureLoaded(c);
    for (auto _ : state) {
        data::DataSet ds(QStringLiteral("ClientDataSet1"));
        ds.SetConnection(&c);
        ds.SetCommandText(QStringLiteral("select * from MEISAI"));
        ds.Open();
        benchmark::DoNotOptimize(ds.RecordCount());
    }
}

void BM_Load_Bare(benchmark::State& state) {
    db::Connection& c = *Database().connection;
    EnsureLoaded(c);
    for (auto _ : state) {
        auto rows = c.Select(QStringLiteral("select * from MEISAI"));
        benchmark::DoNotOptimize(rows.rows.size());
    }
}

constexpr int kNewFirst = 1000001;

void BM_ApplyInserts_DataSet(benchmark::State& state) {
    db::Connection& c = *Database().connection;
    for (auto _ : state) {
        state.PauseTiming();
        data::DataSet ds(QStringLiteral("ClientDataSet1"));
        ds.SetConnection(&c);
        ds.SetCommandText(QStringLiteral("select * from MEISAI where SEQ_NO < 0"));
        ds.SetUpdateTable(QStringLiteral("MEISAI"), QStringLiteral("SEQ_NO;KAIKEI_KUBUN"));
        ds.Open();
        const auto& fields = ds.Fields();
        for (int i = 0; i < kRows; ++i) {
            ds.Append();
            const auto line = MeisaiLine(kNewFirst + i);
            for (std::size_t f = 0; f < line.size(); ++f)
                fields[f]->SetValue(line[f].second);
            ds.Post();
        }
        state.ResumeTiming();
        if (ds.ApplyUpdates(0) != 0)
            state.SkipWithError("apply failed");
        state.PauseTiming();
        ds.Close();
        DeleteFrom(c, kNewFirst);
        state.ResumeTiming();
    }
}

void BM_ApplyInserts_Bare(benchmark::State& state) {
    db::Connection& c = *Database().connection;
    for (auto _ : state) {
        InsertBare(c, kNewFirst);
        state.PauseTiming();
        DeleteFrom(c, kNewFirst);
        state.ResumeTiming();
    }
}

void BM_AppendRows(benchmark::State& state) {
    for (auto _ : state) {
        data::DataSet ds(QStringLiteral("ClientDataSet1"));
        for (const char* name : {"SEQ_NO", "KAIKEI_KUBUN", "NENDO"})
            ds.AddField({.name = QString::fromLatin1(name), .type = data::FieldType::Integer});
        for (auto [name, size] : {std::pair{"HIZUKE", 8}, std::pair{"AITE", 10}, std::pair{"TEKIYO", 50}})
            ds.AddField({.name = QString::fromLatin1(name), .type = data::FieldType::Text, .size = size});
        for (const char* name : {"KAMOKU", "SYUNYU", "SISYUTSU"})
            ds.AddField({.name = QString::fromLatin1(name), .type = data::FieldType::Integer});
        ds.CreateDataSet();
        const auto& fields = ds.Fields();
        for (int i = 0; i < kRows; ++i) {
            ds.Append();
            const auto line = MeisaiLine(i);
            for (std::size_t f = 0; f < line.size(); ++f)
                fields[f]->SetValue(line[f].second);
            ds.Post();
        }
        benchmark::DoNotOptimize(ds.RecordCount());
    }
}

}  // namespace

BENCHMARK(BM_Load_DataSet)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Load_Bare)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ApplyInserts_DataSet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ApplyInserts_Bare)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AppendRows)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
