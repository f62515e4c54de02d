#include "login/MenuUnit.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "backup/BackupUnit.h"
#include "backup/RestoreUnit.h"
#include "core/ErrorHandler.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "db/DataModule.h"
#include "journal/MeisaiNyuryokuUnit.h"
#include "kaihi/KaihiCyosyuUnit.h"
#include "kaihi/SetaiMaintUnit.h"
#include "login/PassWdMaintUnit.h"
#include "master/AiteMaintUnit.h"
#include "master/BunruiMaintUnit.h"
#include "master/KaikeiKubunMaintUnit.h"
#include "master/KamokuMaintUnit.h"
#include "master/NendoMaintUnit.h"
#include "master/TekiyoMaintUnit.h"
#include "statements/CyukanKessanNyuryokuUnit.h"
#include "statements/KessanNyuryokuUnit.h"
#include "statements/TenkenUnit.h"
#include "statements/YosanNyuryokuUnit.h"
#include "ui/Fonts.h"
#include "ui/SpinButton.h"
#include "ui/VersionFooter.h"
#include "ui/YearEdit.h"

namespace {

QLabel* TitleBanner(QWidget* parent) {
    auto* banner = new QLabel(QStringLiteral("つばき出納帳  Ver.1"), parent);
    QFont font = PGothicFont(34);
    font.setBold(true);
    font.setItalic(true);
    banner->setFont(font);
    banner->setAlignment(Qt::AlignCenter);
    banner->setAutoFillBackground(true);
    QPalette palette = banner->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 128));
    palette.setColor(QPalette::WindowText, Qt::yellow);
    banner->setPalette(palette);
    banner->setMinimumHeight(64);
    return banner;
}

}  // namespace

TMenuForm::TMenuForm(QWidget* parent)
    : TTsubakiBaseForm1(parent),
      NendoUpdateBtn(new QPushButton(QStringLiteral("会計年度保存"), Panel2)),
      GroupBox1(new QGroupBox(QStringLiteral("入力処理"), this)),
      GroupBox2(new QGroupBox(QStringLiteral("基礎データ設定"), this)),
      GroupBox3(new QGroupBox(this)),
      Panel3(new TVersionFooter(this)) {
    setWindowTitle(QStringLiteral("つばき出納帳"));
    CloseBtn->setToolTip(QStringLiteral("プログラムを終了します。"));

    NendoUpdateBtn->setToolTip(QStringLiteral("次回起動時に表示中の会計年度を初期表示するようにします。"));
    NendoUpdateBtn->setFocusPolicy(Qt::ClickFocus);
    NendoUpdateBtn->setAutoDefault(false);
    HeaderLayout()->insertWidget(0, NendoUpdateBtn);
    const QString yearHint =
        QStringLiteral("年度別に入力が必要なウインドウを開いたとき初期表示する年度を指定します。");
    Label1->setToolTip(yearHint);
    SpinButton1->setToolTip(yearHint);
    Edit1->setToolTip(yearHint);
    connect(NendoUpdateBtn, &QPushButton::clicked, this,
            [this] { Guard([this] { NendoUpdateBtnClick(); }); });

    RootLayout()->insertWidget(0, TitleBanner(this));

    AddWindowButton(GroupBox1, 1, QStringLiteral("収支明細"),
                    QStringLiteral("収支明細入力ウインドウを開きます。"), true);
    AddWindowButton(GroupBox1, 2, QStringLiteral("決 算 書"),
                    QStringLiteral("決算書入力ウインドウを開きます。"), true);
    AddWindowButton(GroupBox1, 4, QStringLiteral("中間決算書"),
                    QStringLiteral("中間決算書入力ウインドウを開きます。"), true);
    AddWindowButton(GroupBox1, 3, QStringLiteral("予 算 書"),
                    QStringLiteral("予算書入力ウインドウを開きます。"), true);
    AddWindowButton(GroupBox1, 5, QStringLiteral("会費徴収"),
                    QStringLiteral("班ごとに会費の納付を入力し、収支明細を作成します。"), true);

    AddWindowButton(GroupBox2, 31, QStringLiteral("年度別基礎データ"),
                    QStringLiteral("会計年度ごとの基礎データを入力します。"), false);
    AddWindowButton(GroupBox2, 34, QStringLiteral("会計区分"), QStringLiteral("特別会計の名称を設定します。"),
                    false);
    AddWindowButton(GroupBox2, 32, QStringLiteral("科目分類"), QStringLiteral("科目の分類を設定します。"),
                    false);
    AddWindowButton(GroupBox2, 33, QStringLiteral("科目(集計項目)"),
                    QStringLiteral("科目(集計項目)を設定します。"), false);
    AddWindowButton(GroupBox2, 35, QStringLiteral("摘    要"), QStringLiteral("収支明細の摘要を登録します。"),
                    false);
    AddWindowButton(GroupBox2, 36, QStringLiteral("入金先／支払先"),
                    QStringLiteral("収支明細の入金先／支払先を登録します。"), false);
    AddWindowButton(GroupBox2, 37, QStringLiteral("班・世帯"),
                    QStringLiteral("会費台帳の班と世帯を登録します。"), false);
    AddWindowButton(GroupBox2, 30, QStringLiteral("パスワード"),
                    QStringLiteral("入力データを他人にみられないようにパスワードを設定します。"), false);

    AddWindowButton(GroupBox3, 51, QStringLiteral("バックアップ"),
                    QStringLiteral("データのバックアップコピーを作成します。"), false);
    AddWindowButton(GroupBox3, 52, QStringLiteral("リストア"),
                    QStringLiteral("バックアップコピーからデータを復元します。"), false)
        ->setObjectName(QStringLiteral("RestoreBtn"));
    AddWindowButton(GroupBox3, 53, QStringLiteral("点検"),
                    QStringLiteral("年度の帳簿とデータベースを点検します。(何も変更しません)"), false);

    auto* groups = new QHBoxLayout;
    groups->addWidget(GroupBox1, 3);
    groups->addWidget(GroupBox2, 2);
    auto* side = new QVBoxLayout;
    side->addWidget(GroupBox3);
    side->addStretch(1);
    groups->addLayout(side, 2);
    BodyLayout()->addLayout(groups, 1);
    BodyLayout()->addWidget(Panel3);

    RegisterWindow(1, [](QWidget* owner) {
        auto journal = std::make_unique<TMeisaiNyuryokuForm>(owner);
        // 会費徴収 opened over the journal hands its lines to the journal's load.
        journal->SetDuesWindow([](JournalHandOver& load, int nendo, QWidget* over) {
            TKaihiCyosyuForm dues(nendo, over);
            dues.SetJournal(&load);
            dues.exec();
        });
        return journal;
    });
    RegisterWindow(2, [](QWidget* owner) { return std::make_unique<TKessanNyuryokuForm>(owner); });
    RegisterWindow(3, [](QWidget* owner) { return std::make_unique<TYosanNyuryokuForm>(owner); });
    RegisterWindow(4, [](QWidget* owner) { return std::make_unique<TCyukanKessanNyuryokuForm>(owner); });
    RegisterWindow(5, [](QWidget* owner) { return std::make_unique<TKaihiCyosyuForm>(CurrentNendo, owner); });
    RegisterWindow(30, [](QWidget* owner) { return std::make_unique<TPassWdMaintForm>(owner); });
    RegisterWindow(31, [](QWidget* owner) { return std::make_unique<TNendoMaintForm>(owner); });
    RegisterWindow(32, [](QWidget* owner) { return std::make_unique<TBunruiMaintForm>(owner); });
    RegisterWindow(33, [](QWidget* owner) { return std::make_unique<TKamokuMaintForm>(owner); });
    RegisterWindow(34, [](QWidget* owner) { return std::make_unique<TKaikeiKubunMaintForm>(owner); });
    RegisterWindow(35, [](QWidget* owner) { return std::make_unique<TTekiyoMaintForm>(owner); });
    RegisterWindow(36, [](QWidget* owner) { return std::make_unique<TAiteMaintForm>(owner); });
    RegisterWindow(37, [](QWidget* owner) { return std::make_unique<TSetaiMaintForm>(owner); });
    RegisterWindow(51, [](QWidget* owner) { return std::make_unique<TBackupForm>(owner); });
    RegisterWindow(52, [](QWidget* owner) { return std::make_unique<TRestoreForm>(owner); });
    RegisterWindow(53, [](QWidget* owner) { return std::make_unique<TTenkenForm>(CurrentNendo, owner); });
}

TMenuForm::~TMenuForm() = default;

QPushButton* TMenuForm::AddWindowButton(QGroupBox* group, int tag, const QString& caption,
                                        const QString& hint, bool large) {
    auto* button = new QPushButton(caption, group);
    button->setObjectName(QStringLiteral("BitBtn%1").arg(tag));
    button->setToolTip(hint);
    button->setAutoDefault(true);
    if (large) {
        QFont font = GothicFont(24);
        font.setBold(true);
        button->setFont(font);
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, Qt::blue);
        button->setPalette(palette);
        button->setMinimumHeight(56);
    } else {
        button->setMinimumHeight(34);
    }
    auto* layout = qobject_cast<QVBoxLayout*>(group->layout());
    if (!layout)
        layout = new QVBoxLayout(group);
    layout->addWidget(button);
    buttons_[tag] = button;
    connect(button, &QPushButton::clicked, this, [this, tag] { BitBtn1Click(tag); });
    return button;
}

void TMenuForm::RegisterWindow(int tag, WindowFactory factory) {
    windows_[tag] = std::move(factory);
}

QPushButton* TMenuForm::ButtonByTag(int tag) const {
    const auto it = buttons_.find(tag);
    return it == buttons_.end() ? nullptr : it->second;
}

void TMenuForm::PrepareWindow() {
    TTsubakiBaseForm1::PrepareWindow();
    Panel3->ShowVersionInfo();
}

void TMenuForm::BitBtn1Click(int tag) {
    CurrentNendo = GetNendo();
    const auto it = windows_.find(tag);
    if (it == windows_.end())
        return;
    showMinimized();
    ShowStatus(QString());
    // The menu comes back whatever the window did; its error is shown afterwards.
    std::exception_ptr failure;
    try {
        std::unique_ptr<QDialog> window = it->second(this);
        window->exec();
        if (const auto* done = qobject_cast<TTsubakiBaseForm*>(window.get()))
            ShowStatus(done->ClosingStatus());
    } catch (...) {
        failure = std::current_exception();
    }
    showNormal();
    raise();
    activateWindow();
    if (failure)
        HandleException(failure);
}

void TMenuForm::NendoUpdateBtnClick() {
    FocusFirstControl();
    data::SqlCommand NendoUpdateSQL(QStringLiteral("NendoUpdateSQL"), &DataModule1().SQLConnection1);
    NendoUpdateSQL.SetCommandText(QStringLiteral("update KANRI set NENDO = :nendo where (KY = 1)"));
    NendoUpdateSQL.SetParam(QStringLiteral("nendo"), GetNendo());
    DsExecSQL(NendoUpdateSQL);
}
