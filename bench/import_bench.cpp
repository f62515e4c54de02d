// 取込 of a year's journal (100,000 lines) in the journal window: the file read,
// checked and written as unsaved lines, with the peak memory of the process
// before and after (getrusage; /usr/bin/time -v gives the same for the whole run).
//
// `import_bench make <db> <csv>` writes the benchmark organisation with its year
// emptied and the year's lines as the journal's CSV export; `import_bench run <db>
// <csv>` opens the window, loads the year and imports the file once.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>

#include <cstdio>
#include <optional>

#include <sys/resource.h>

#include "bench/BenchYear.h"
#include "bench/WindowBench.h"
#include "journal/JournalExport.h"
#include "journal/MeisaiNyuryokuUnit.h"
#include "ui/DBGrid.h"

namespace {

class BenchForm : public TMeisaiNyuryokuForm {
  public:
    using TMeisaiNyuryokuForm::LoadData;
    using TMeisaiNyuryokuForm::ShowEditState;
};

// The printed dialogs, choosing `file` when asked for one.
class ChoosingDialogs final : public IDialogs {
  public:
    explicit ChoosingDialogs(QString file) : file_(std::move(file)) {}
    void ShowMessage(const QString& text) override { Print(text); }
    ModalResult MessageDlg(const QString& text, MsgDlgType, MsgDlgButtons,
                           std::optional<MsgDlgBtn>) override {
        Print(text);
        return ModalResult::Abort;
    }
    void ErrorBox(const QString& text) override { Print(text); }
    void Beep() override {}
    std::optional<QString> SelectFolder(const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> OpenFile(const QString&, const QString&, const QString&) override { return file_; }

  private:
    static void Print(const QString& text) { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); }
    QString file_;
};

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

int Make(const QString& path, const QString& csv) {
    bench::GenerateSavedYear(QStringLiteral(TSUBAKI_EMPTY_ORGDB), path, {2021, 100000});
    db::Connection c([path] { return path; });
    const int lines = WriteJournalFile(c, {2021, std::nullopt}, JournalFormat::Csv, csv);
    c.Execute(QStringLiteral("delete from MEISAI"));
    c.Close();
    std::printf("%d lines written to %s\n", lines, csv.toUtf8().constData());
    return 0;
}

int Run(const QString& path, const QString& csv) {
    const bench::BenchSession session(path);
    ChoosingDialogs dialogs(csv);
    IDialogs* previous = InstallDialogs(&dialogs);
    BenchForm form;
    ShowLoaded(form);
    const double before = PeakMegabytes();
    QElapsedTimer timer;
    timer.start();
    form.TorikomiBtn->click();
    Settle();
    const double seconds = double(timer.elapsed()) / 1000.0;
    std::printf("import %.2f s, %d lines shown; peak resident %.0f MB before, %.0f MB after\n", seconds,
                form.DBGrid1->model()->rowCount(), before, PeakMegabytes());
    form.close();
    InstallDialogs(previous);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return WindowBenchMain(argc, argv, [](int count, char** args) -> std::optional<int> {
        if (count == 4 && QByteArrayView(args[1]) == "make")
            return Make(QString::fromLocal8Bit(args[2]), QString::fromLocal8Bit(args[3]));
        if (count == 4 && QByteArrayView(args[1]) == "run")
            return Run(QString::fromLocal8Bit(args[2]), QString::fromLocal8Bit(args[3]));
        std::fprintf(stderr, "import_bench make|run <db> <csv>\n");
        return 2;
    });
}
