// The settings file with a registry of 20,000 organisations: what the login window
// does with it (the listing, which also checks that the registry is not empty, and
// one lookup), beside a bare read and split of the same file.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/time.h>

#include "core/IniFile.h"

namespace {

constexpr int kKeys = 20000;

struct Registry {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Tsubaki.ini"));
    Registry() {
        QByteArray text = "[DbFolder]\nFdbRootPath=/home/u/TsubakiDB\n[DBList]\n";
        for (int i = 0; i < kKeys; ++i)
            text += QStringLiteral("団体%1=/home/u/TsubakiDB/団体%1/TSUBAKI.FDB\n").arg(i).toUtf8();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            std::perror("settings file");
    }
    // A new modification time, as an edit by another program would leave.
    void Touch() const { utimes(QFile::encodeName(path).constData(), nullptr); }
};

void ListAndLookUp(const IniFile& ini, benchmark::State& state) {
    const bool any = ini.SectionHasKeys(QStringLiteral("DBList"));
    const QStringList keys = ini.ReadSectionKeys(QStringLiteral("DBList"));
    const QString last = ini.ReadString(QStringLiteral("DBList"), keys.back(), QString());
    benchmark::DoNotOptimize(any);
    if (keys.size() != kKeys || last.isEmpty())
        state.SkipWithError("wrong registry");
}

// The file unchanged since the last read (the login window's later reads).
void BM_Registry_Unchanged(benchmark::State& state) {
    const Registry registry;
    const IniFile ini(registry.path);
    for (auto _ : state)
        ListAndLookUp(ini, state);
}
BENCHMARK(BM_Registry_Unchanged)->Unit(benchmark::kMillisecond);

// The file changed before every listing: parsed once, then read from memory.
void BM_Registry_Changed(benchmark::State& state) {
    const Registry registry;
    const IniFile ini(registry.path);
    for (auto _ : state) {
        state.PauseTiming();
        registry.Touch();
        state.ResumeTiming();
        ListAndLookUp(ini, state);
    }
}
BENCHMARK(BM_Registry_Changed)->Unit(benchmark::kMillisecond);

// Baseline: reading the file and splitting it into decoded lines once.
void BM_Registry_BareRead(benchmark::State& state) {
    const Registry registry;
    for (auto _ : state) {
        QFile file(registry.path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read");
        QStringList lines;
        for (const QByteArray& line : file.readAll().split('\n'))
            lines << QString::fromUtf8(line);
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_Registry_BareRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
