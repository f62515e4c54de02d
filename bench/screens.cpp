// Windows drawn for screenshots under a real X server and window manager
// (scripts/screenshots.sh): the program's own windows and dialogs service, with
// Qt's Japanese texts, on a generated organisation.
//   screens backup <db>    the backup window, its folder dialog opened
//   screens error          a long error in the error box
//   screens journal <db>   the journal: load 2021, the listing workbook, a line, 保存
//   screens import <db> <folder>   the journal's 取込 on the sample organisation
//   screens focus <db>     each entry window on the sample organisation, just opened
//                          and just saved (where the keyboard is)
//   screens login          the login window
//   screens balances <db>  the sample's year 2025: the settlement's 残高内訳 tab, 決算書出力
//                          walked by keyboard to its 残高内訳 check box, and the close and
//                          reopen questions of 年度別基礎データ設定
//   screens kaihi <db>     the dues ledger on the sample organisation: 班・世帯 searched,
//                          班設定, and 会費徴収 of 5班 with December ticked; its workbooks
//                          saved into the work folder; then the same collection saved
//                          while the journal window holds the year (its line handed over)
//   screens styles <db>    the budget window with an amendment typed, then the signature
//                          tabs' title and signs of 増減 walked by keyboard (budget, settlement)
//   screens statements <db>   the budget and settlement windows on the sample organisation
//                          (year 2026): the column mapping of an Excel file, its
//                          refused rows, then an exported file imported

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTimer>

#include <cstdio>
#include <string>

#include "backup/BackupUnit.h"
#include "core/AppTitle.h"
#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "db/DataModule.h"
#include "db/Engine.h"
#include "db/WorkKeys.h"
#include "journal/MeisaiNyuryokuUnit.h"
#include "journal/TorikomiErrorUnit.h"
#include "journal/TorikomiSetteiUnit.h"
#include "kaihi/ExlKaihiCyosyuUnit.h"
#include "kaihi/ExlKaihiMinouUnit.h"
#include "kaihi/ExlKaihiRyosyusyoUnit.h"
#include "kaihi/HanMaintUnit.h"
#include "kaihi/KaihiCyosyuUnit.h"
#include "kaihi/KaihiRyosyusyoUnit.h"
#include "kaihi/KaihiStore.h"
#include "kaihi/SetaiMaintUnit.h"
#include "login/LoginUnit.h"
#include "master/NendoMaintUnit.h"
#include "statements/CyukanKessanNyuryokuUnit.h"
#include "statements/KessanNyuryokuUnit.h"
#include "statements/StatementStyleBox.h"
#include "statements/YosanNyuryokuUnit.h"
#include "ui/DBEdit.h"
#include "ui/DBGrid.h"
#include "ui/Fonts.h"
#include "ui/QtDialogs.h"
#include "ui/QtTranslations.h"
#include "ui/YearEdit.h"

namespace {

// Runs `step` after `ms` and prints `name` when it starts, for the script to time its shots.
void After(int ms, std::string name, std::function<void()> step) {
    QTimer::singleShot(ms, [name = std::move(name), step = std::move(step)] {
        std::printf("%s\n", name.c_str());
        std::fflush(stdout);
        RunGuarded(step);
    });
}

int Backup(const QString& path) {
    WriteDBListEntry(CurrentDantai, path);
    TDataModule1 module([path] { return path; });
    DataModuleInstallation installation(module);
    TBackupForm form;
    After(800, "folder", [&form] { form.SansyoBtn->click(); });
    form.exec();
    return 0;
}

int Error() {
    After(300, "error", [] {
        throw EAppError(QStringLiteral(
            "この年度の明細は、読み込んだ後に他のコンピュータまたは他の画面で保存されています。"
            "このまま保存すると、その明細は失われます。金額を入力したときは科目(集計項目)"
            "を入力してください。"));
    });
    After(4000, "quit", [] { QApplication::exit(0); });
    return QApplication::exec();
}

int Journal(const QString& path) {
    TDataModule1 module([path] { return path; });
    DataModuleInstallation installation(module);
    TMeisaiNyuryokuForm form;
    After(800, "load", [&form] {
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        form.Edit1->insert(QStringLiteral("2021"));
        form.NyuryokuBtn->setFocus(Qt::TabFocusReason);  // entering 入力(表示) loads the year
    });
    // One step after the other: the listing lets the windows repaint while it runs.
    After(6000, "listing", [&form] {
        form.SyusiMeisaiBtn->click();
        After(3000, "save", [&form] {
            form.SaveBtn->click();
            std::printf("saved\n");  // the save is over: the window shows its status
            std::fflush(stdout);
            After(8000, "close", [&form] { form.reject(); });
        });
    });
    form.exec();
    return 0;
}

// The program's dialogs, with the file dialog answered: the shots show the
// program's own windows, not the system's file chooser.
class FileAnswered final : public IDialogs {
  public:
    explicit FileAnswered(IDialogs& dialogs) : dialogs_(dialogs) {}
    QString file;
    void ShowMessage(const QString& text) override { dialogs_.ShowMessage(text); }
    ModalResult MessageDlg(const QString& text, MsgDlgType type, MsgDlgButtons buttons,
                           std::optional<MsgDlgBtn> focused) override {
        return dialogs_.MessageDlg(text, type, buttons, focused);
    }
    void ErrorBox(const QString& text) override { dialogs_.ErrorBox(text); }
    void Beep() override { dialogs_.Beep(); }
    std::optional<QString> SelectFolder(const QString& caption, const QString& start) override {
        return dialogs_.SelectFolder(caption, start);
    }
    std::optional<QString> OpenFile(const QString&, const QString&, const QString&) override { return file; }

  private:
    IDialogs& dialogs_;
};

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw EAppError(QStringLiteral("cannot write ") + path);
}

// Runs `action` on the modal window of type T that is up.
template <class T>
void OnModal(const std::function<void(T&)>& action) {
    if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget()))
        action(*window);
}

int Import(const QString& path, const QString& folder) {
    CurrentDantai = QStringLiteral("○○○○自治会");
    TDataModule1 module([path] { return path; });
    DataModuleInstallation installation(module);
    db::EnsureSharingObjects(module.SQLConnection1);  // what the login does
    FileAnswered answered(Dialogs());
    IDialogs* program = InstallDialogs(&answered);

    // As Excel in Japan saves a sheet: Shift_JIS, its own headings, rows to mend.
    const QString excel = folder + QStringLiteral("/町内会出納帳2026.csv");
    QStringEncoder cp932("windows-31j");
    WriteBytes(excel, cp932.encode(QStringLiteral("日付,入金先・支払先,摘要,科目,収入金額,支出金額\r\n"
                                                  "2026/4/5,班長会,4月分 会費,一般会費,\"48,000\",\r\n"
                                                  "2026/3/31,文具店,コピー用紙,事務用品費,,1200\r\n"
                                                  "2026/4/12,ホームセンター,防災用品,備品費,,8600\r\n"
                                                  "2026/4/20,市役所,補助金,市補助金,50000,50000\r\n"
                                                  "2026/4/25,郵便局,切手,通信費,,840\r\n")));
    // The journal's own export: a transfer to the reserve account in both divisions.
    const QString exported = folder + QStringLiteral("/明細書出.csv");
    WriteBytes(exported,
               QByteArray("\xEF\xBB\xBF") +
                   QStringLiteral("日付,会計区分,相手先,摘要,科目コード,科目名,収入,支出\r\n"
                                  "2026/05/01,一般会計,班長会,5月分 会費,1001,一般会費,46000,\r\n"
                                  "2026/05/10,一般会計,,積立金繰出,6001,防災積立金繰出金,,30000\r\n"
                                  "2026/05/10,防災積立会計,,積立金繰出,3000,一般会計より繰入,30000,\r\n"
                                  "2026/05/15,一般会計,文具店,封筒,4101,事務用品費,,650\r\n")
                       .toUtf8());

    TMeisaiNyuryokuForm form;
    After(800, "load", [&form] {
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        form.Edit1->insert(QStringLiteral("2026"));
        form.NyuryokuBtn->setFocus(Qt::TabFocusReason);  // entering 入力(表示) loads the year
    });
    After(3000, "button", [&form] { form.TorikomiBtn->setFocus(Qt::TabFocusReason); });
    // Each step waits in the modal window the one before opened.
    After(5000, "mapping", [&] {
        answered.file = excel;
        form.TorikomiBtn->click();
    });
    After(8000, "refused",
          [] { OnModal<TTorikomiSetteiForm>([](auto& setting) { setting.TorikomiBtn->click(); }); });
    After(11000, "import", [&] {
        OnModal<TTorikomiErrorForm>([](auto& refused) { refused.CloseBtn->click(); });
        answered.file = exported;
        QTimer::singleShot(200, [&form] { form.TorikomiBtn->click(); });
    });
    After(14000, "imported", [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    After(17000, "close", [] { QApplication::exit(0); });
    form.show();
    const int result = QApplication::exec();
    InstallDialogs(program);
    return result;
}

// Loads the sample year in a statement window and names each tab as it shows it.
template <class Form>
int StatementPages(Form& form, const char* name) {
    After(800, "load", [&form] {
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        form.Edit1->insert(QStringLiteral("2026"));
        form.NyuryokuBtn->setFocus(Qt::TabFocusReason);
    });
    int at = 4000;
    for (int page = 0; page < form.PageControl1->count(); ++page, at += 2500) {
        After(at, std::string(name) + "-" + std::to_string(page + 1),
              [&form, page] { form.PageControl1->setCurrentIndex(page); });
    }
    After(at, "close", [] { QApplication::exit(0); });
    form.show();
    return QApplication::exec();
}

int Statements(const QString& path) {
    CurrentDantai = QStringLiteral("○○○○自治会");
    CurrentNendo = 2026;
    TDataModule1 module([path] { return path; });
    DataModuleInstallation installation(module);
    db::EnsureSharingObjects(module.SQLConnection1);  // what the login does
    {
        TYosanNyuryokuForm budget;
        StatementPages(budget, "budget");
    }
    TKessanNyuryokuForm settlement;
    return StatementPages(settlement, "settlement");
}

// A key pressed where the keyboard is, as a user would press it.
void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = QString()) {
    QWidget* target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeModalWidget();
    if (!target)
        return;
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, modifiers, text));
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, modifiers, text));
}

void TypeText(const QString& text) {
    for (const QChar c : text)
        Key(0, Qt::NoModifier, QString(c));
}

// The first line of `view` on an item other than `skip`, put in edit with `field` := `value`.
void TypeAmount(data::DataSet& view, int skip, const QString& field, const QString& value) {
    for (view.First(); !view.Eof(); view.Next()) {
        if (view.FieldByName(QStringLiteral("KAMOKU")).AsInteger() != skip)
            break;
    }
    data::DsEdit(view);
    view.FieldByName(field).SetText(value);
    data::DsPost(view);
}

// Loads 2026 in a statement window, then walks its signature tab: the title typed,
// the receipts' sign passed by, the payments' chosen from its opened list.
template <class Form>
void WalkStyle(Form& form, const std::string& name, int start, const QString& title) {
    After(start, name + "-page", [&form] {
        form.PageControl1->setCurrentIndex(2);
        form.StyleBox->TitleEdit->setFocus(Qt::TabFocusReason);
    });
    After(start + 1500, name + "-title", [title] { TypeText(title); });
    After(start + 3000, name + "-syunyu", [] { Key(Qt::Key_Return); });
    After(start + 4500, name + "-sisyutsu", [] { Key(Qt::Key_Return); });
    After(start + 6000, name + "-open", [] { Key(Qt::Key_F4); });
    After(start + 9500, name + "-chosen", [] {
        Key(Qt::Key_Down);
        Key(Qt::Key_Return);
    });
}

template <class Form>
void LoadYear(Form& form) {
    After(800, "load", [&form] {
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        form.Edit1->insert(QStringLiteral("2026"));
        form.NyuryokuBtn->setFocus(Qt::TabFocusReason);
    });
}

int Styles(const QString& path) {
    CurrentDantai = QStringLiteral("○○○○自治会");
    CurrentNendo = 2026;
    TDataModule1 module([path] { return path; });
    DataModuleInstallation installation(module);
    db::EnsureSharingObjects(module.SQLConnection1);
    {
        TYosanNyuryokuForm budget;
        LoadYear(budget);
        After(4000, "budget-hosei", [&budget] {
            budget.HoseiTsuikaBtn->click();
            budget.SyoninBiEdit->setText(QStringLiteral("20261015"));
            TypeAmount(budget.SyunyuClone, 100, QStringLiteral("KONKAI_HOSEI"), QStringLiteral("20000"));
        });
        After(6000, "budget-hosei-payments", [&budget] {
            budget.PageControl1->setCurrentIndex(1);
            TypeAmount(budget.SisyutsuClone, 0, QStringLiteral("KONKAI_HOSEI"), QStringLiteral("-5000"));
        });
        WalkStyle(budget, "budget-style", 8000, QStringLiteral("ＰＴＡ会計　予算書"));
        After(20000, "close", [] { QApplication::exit(0); });
        budget.show();
        QApplication::exec();
    }
    TKessanNyuryokuForm settlement;
    LoadYear(settlement);
    WalkStyle(settlement, "settlement-style", 4000, QStringLiteral("ＰＴＡ会計　決算報告書"));
    After(16000, "close", [] { QApplication::exit(0); });
    settlement.show();
    return QApplication::exec();
}

// An entry window just opened, then loaded and saved: where the keyboard is each
// time (the year box, with its caret and frame).
int FocusAfter(TTsubakiBaseForm2& form, const std::string& name,
               const std::function<void()>& beforeLoad = {}) {
    After(1200, name + "-opened", [] {});
    After(2500, "load", [&form, beforeLoad] {
        if (beforeLoad)
            beforeLoad();
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        form.Edit1->insert(QStringLiteral("2026"));
        form.NyuryokuBtn->setFocus(Qt::TabFocusReason);
    });
    After(4200, name + "-loaded", [] {});
    After(5500, name + "-saved", [&form] { form.SaveBtn->click(); });
    After(8000, "close", [] { QApplication::exit(0); });
    form.show();
    return QApplication::exec();
}

int Focus(const QString& path) {
    CurrentDantai = QStringLiteral("○○○○自治会");
    CurrentNendo = 2026;
    TDataModule1 module([path] { return path; });
    DataModuleInstallation installation(module);
    db::EnsureSharingObjects(module.SQLConnection1);  // what the login does
    {
        TMeisaiNyuryokuForm journal;
        FocusAfter(journal, "focus-journal");
    }
    {
        TYosanNyuryokuForm budget;
        FocusAfter(budget, "focus-budget");
    }
    {
        TKessanNyuryokuForm settlement;
        FocusAfter(settlement, "focus-settlement");
    }
    {
        TCyukanKessanNyuryokuForm interim;
        FocusAfter(interim, "focus-interim",
                   [&interim] { interim.SimebiEdit->setText(QStringLiteral("0930")); });
    }
    TNendoMaintForm years;
    return FocusAfter(years, "focus-years");
}

// A key pressed and released where the keyboard is (in the modal window on top).
// The places of the sample's year-end, 決算書出力 reached and walked by keyboard,
// then the year closed and the reopen question.
int Balances(const QString& path) {
    CurrentDantai = QStringLiteral("○○○○自治会");
    CurrentNendo = 2025;
    TDataModule1 module([path] { return path; });
    DataModuleInstallation installation(module);
    db::EnsureSharingObjects(module.SQLConnection1);  // what the login does
    {
        TKessanNyuryokuForm settlement;
        After(800, "load", [&settlement] {
            settlement.Edit1->setFocus();
            settlement.Edit1->selectAll();
            settlement.Edit1->insert(QStringLiteral("2025"));
            settlement.NyuryokuBtn->setFocus(Qt::TabFocusReason);
        });
        After(3500, "balances-tab", [&settlement] { settlement.PageControl1->setCurrentIndex(3); });
        // Enter on 決算書; the list has the focus, then 実行, 設定値保存, 閉じる, the check box.
        After(6000, "choice", [&settlement] {
            settlement.KessansyoBtn->setFocus(Qt::TabFocusReason);
            Key(Qt::Key_Return);
        });
        for (int i = 0; i < 4; ++i)
            After(7500 + 300 * i, "tab", [] { Key(Qt::Key_Tab); });
        After(9000, "space", [] { Key(Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")); });
        After(9500, "balances-choice", [] {});
        After(13000, "escape", [] { Key(Qt::Key_Escape); });
        After(14000, "close", [] { QApplication::exit(0); });
        settlement.show();
        QApplication::exec();
    }
    TNendoMaintForm years;
    After(800, "load", [&years] {
        years.Edit1->setFocus();
        years.Edit1->selectAll();
        years.Edit1->insert(QStringLiteral("2025"));
        years.NyuryokuBtn->setFocus(Qt::TabFocusReason);
    });
    After(3500, "sime", [&years] {
        years.SimeBtn->setFocus();
        Key(Qt::Key_Return);
    });
    After(5000, "balances-close", [] {});
    After(7000, "reason", [] { TypeText(QStringLiteral("会計監査済み")); });
    After(8000, "ok", [] { Key(Qt::Key_Return); });
    After(9500, "dismiss", [] {
        if (QApplication::activeModalWidget())
            Key(Qt::Key_Return);
    });
    After(10500, "kaijyo", [&years] {
        years.KaijyoBtn->setFocus();
        Key(Qt::Key_Return);
    });
    After(12000, "balances-reopen", [] {});
    After(14000, "escape", [] { Key(Qt::Key_Escape); });
    After(15000, "balances-years", [] {});
    After(17000, "close", [] { QApplication::exit(0); });
    years.show();
    return QApplication::exec();
}

// The login window as the program opens it: its footer and list.
int Login() {
    TLoginForm form;
    After(1500, "login", [] {});
    After(3000, "close", [&form] { form.reject(); });
    form.exec();
    return 0;
}

// The dues ledger: the household list searched by reading, then 班設定 over it,
// then one 班's collection with the month still owed ticked, handed to the journal, and
// receipts for two of a 班's payments.
int Kaihi(const QString& path, const QString& folder) {
    CurrentDantai = QStringLiteral("○○○○自治会");
    CurrentNendo = 2026;
    TDataModule1 module([path] { return path; });
    DataModuleInstallation installation(module);
    db::EnsureSharingObjects(module.SQLConnection1);
    {
        TSetaiMaintForm households;
        After(1200, "kaihi-setai", [] {});
        After(2000, "search", [&households] {
            households.SearchEdit->setFocus();
            households.SearchEdit->setText(QStringLiteral("た"));
            households.SetaiList->selectRow(1);
            households.MeisyoEdit->setFocus();
        });
        After(3500, "kaihi-setai-search", [] {});
        After(4500, "close", [] { QApplication::exit(0); });
        households.show();
        QApplication::exec();
    }
    {
        THanMaintForm han;
        After(1200, "kaihi-han", [] {});
        After(2500, "close", [] { QApplication::exit(0); });
        han.show();
        QApplication::exec();
    }
    // The ledger's workbooks, saved beside the shots for looking at their pages.
    {
        TExlKaihiCyosyuModule ichiran;
        ichiran.SetNendo(2026);
        ichiran.SetSyurui(1);
        ichiran.SetOutputFile(folder + QStringLiteral("/kaihi-ichiran.xlsx"));
        ichiran.Execute();
        TExlKaihiMinouModule minou;
        minou.SetNendo(2026);
        minou.SetOutputFile(folder + QStringLiteral("/kaihi-minou.xlsx"));
        minou.Execute();
        TExlHanbetsuSetaisuModule setaisu;
        setaisu.SetOutputFile(folder + QStringLiteral("/kaihi-setaisu.xlsx"));
        setaisu.Execute();
    }
    TKaihiCyosyuForm collection(2026);
    After(1200, "tick", [&collection] {
        collection.HanCombo->setCurrentIndex(4);
        collection.HizukeEdit->setText(QStringLiteral("2026/12/10"));
        for (int row = 0; row < collection.CyosyuGrid->rowCount(); row += 2)
            if (QTableWidgetItem* item = collection.CyosyuGrid->item(row, 9))
                if (item->flags() & Qt::ItemIsUserCheckable)
                    item->setCheckState(Qt::Checked);
        collection.CyosyuGrid->setFocus();
        collection.CyosyuGrid->setCurrentCell(2, 9);
    });
    After(2500, "kaihi-cyosyu", [] {});
    After(4000, "close", [] { QApplication::exit(0); });
    collection.show();
    QApplication::exec();
    collection.hide();

    // The same collection saved while the journal window holds the year: its line
    // is handed to the journal as an unsaved line.
    TMeisaiNyuryokuForm journal;
    journal.SetDuesWindow([](JournalHandOver& load, int nendo, QWidget* over) {
        TKaihiCyosyuForm dues(nendo, over);
        dues.SetJournal(&load);
        dues.exec();
    });
    After(800, "load", [&journal] {
        journal.Edit1->setFocus();
        journal.Edit1->selectAll();
        journal.Edit1->insert(QStringLiteral("2026"));
        journal.NyuryokuBtn->setFocus(Qt::TabFocusReason);  // entering 入力(表示) loads the year
    });
    After(2500, "hand", [&journal, &collection] {
        const std::optional<JournalLoad> load = journal.CurrentLoad();
        if (!load)
            throw EAppError(QStringLiteral("収支明細入力が年度を読み込んでいません。"));
        journal.ReadyForLines();
        std::vector<KaihiNoufu> payments = collection.Collection();
        journal.LinesHandedOver(SaveCollection(DataModule1().SQLConnection1, 2026, payments, load->key));
        journal.DBGrid1->setFocus();
    });
    After(4000, "kaihi-journal", [] {});
    After(5500, "close", [] { QApplication::exit(0); });
    journal.show();
    QApplication::exec();
    journal.hide();

    // Receipts: 4班's payments of November, two ticked with Space, then written.
    TKaihiRyosyusyoForm receipts(2026, 4);
    After(1200, "tick", [&receipts] {
        receipts.KaisiEdit->setText(QStringLiteral("2026/11/1"));
        receipts.SyuryoEdit->setText(QStringLiteral("2026/11/30"));
        emit receipts.SyuryoEdit->editingFinished();
        receipts.NoufuGrid->setFocus();
        for (int row : {0, 2}) {
            receipts.NoufuGrid->setCurrentCell(row, 1);
            QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QApplication::sendEvent(receipts.NoufuGrid, &space);
        }
    });
    After(2500, "kaihi-ryosyu", [] {});
    After(3000, "write", [&receipts, folder] {
        TExlKaihiRyosyusyoModule report;
        report.SetNendo(2026);
        report.SetNoufu(receipts.Ticked());
        report.SetOutputFile(folder + QStringLiteral("/kaihi-ryosyusyo.xlsx"));
        report.Execute();
    });
    After(4000, "close", [] { QApplication::exit(0); });
    receipts.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle());
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    InstallQtTranslations(app);
    QApplication::setFont(GothicFont(16));
    QtDialogs dialogs;
    InstallDialogs(&dialogs);
    CurrentDantai = QStringLiteral("ベンチ町会");
    CurrentNendo = 2021;
    const QByteArrayView mode = argc >= 2 ? QByteArrayView(argv[1]) : QByteArrayView();
    const QString path = argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    int result = 2;
    if (mode == "backup")
        result = Backup(path);
    else if (mode == "error")
        result = Error();
    else if (mode == "journal")
        result = Journal(path);
    else if (mode == "statements")
        result = Statements(path);
    else if (mode == "styles")
        result = Styles(path);
    else if (mode == "focus")
        result = Focus(path);
    else if (mode == "login")
        result = Login();
    else if (mode == "balances")
        result = Balances(path);
    else if (mode == "kaihi")
        result = Kaihi(path, argc >= 4 ? QString::fromLocal8Bit(argv[3]) : QString());
    else if (mode == "import" && argc >= 4)
        result = Import(path, QString::fromLocal8Bit(argv[3]));
    db::ShutdownEngine();
    InstallDialogs(nullptr);
    return result;
}
