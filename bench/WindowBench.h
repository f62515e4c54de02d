#pragma once
// What the window benchmarks share: dialogs that print what a window would show and
// answer every question 中止, so that a benchmark never waits, and their main.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <exception>
#include <functional>
#include <optional>

#include "core/Dialogs.h"

class PrintedDialogs final : public IDialogs {
  public:
    void ShowMessage(const QString& text) override { Print(text); }
    ModalResult MessageDlg(const QString& text, MsgDlgType, MsgDlgButtons,
                           std::optional<MsgDlgBtn>) override {
        Print(text);
        return ModalResult::Abort;
    }
    void ErrorBox(const QString& text) override { Print(text); }
    void Beep() override {}
    std::optional<QString> SelectFolder(const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> OpenFile(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }

  private:
    static void Print(const QString& text) { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); }
};

// Lets queued calls (focus entries, deferred messages) run.
inline void Settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// An entry window after 入力(表示): shown, its year loaded and in the edit state, laid
// out and painted. `Form` opens LoadData and ShowEditState to the benchmark.
template <class Form>
void ShowLoaded(Form& form) {
    form.show();
    Settle();
    form.LoadData();
    form.ShowEditState();
    Settle();
}

// The main of a window benchmark: a QApplication (offscreen unless a platform is
// set), the printed dialogs, then `command` on the arguments (its exit status;
// nullopt when they name none) or else the benchmarks.
inline int WindowBenchMain(int argc, char** argv,
                           const std::function<std::optional<int>(int argc, char** argv)>& command) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    PrintedDialogs dialogs;
    InstallDialogs(&dialogs);
    try {
        if (const std::optional<int> status = command(argc, argv))
            return *status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
