#include "master/NendoMaintUnit.h"

#include <QHeaderView>
#include <QTableWidget>

#include "db/DantaiLogin.h"
#include "db/YearClose.h"
#include "master/NendoSimeDialog.h"
#include "platform/Folders.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DateUtil.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "data/ScopedOpen.h"
#include "db/DataModule.h"
#include "master/YearTextShift.h"
#include "ui/DBControls.h"
#include "ui/DBEdit.h"

namespace {

const QString kKisyubi = QStringLiteral("KISYUBI");
const QString kKimatsubi = QStringLiteral("KIMATSUBI");

QString DateText(int date) {
    return QStringLiteral("%1").arg(date, 8, 10, QLatin1Char('0'));
}

int IntOf(const db::Value& v) {
    return v.IsNull() ? 0 : static_cast<int>(v.AsInteger());
}

// The settlement signatories, each also written to the budget's column "YOSAN_" + name.
const QStringList& Signatories() {
    static const QStringList names{QStringLiteral("YAKUSYOKU"), QStringLiteral("DAIHYOSYA"),
                                   QStringLiteral("KAIKEI_YAKUSYOKU"), QStringLiteral("KAIKEI1"),
                                   QStringLiteral("KAIKEI2")};
    return names;
}

data::FieldDef TextField(const QString& name, int size, const QString& label) {
    data::FieldDef def{.name = name, .size = size, .label = label};
    def.trimOnEntry = true;
    return def;
}

}  // namespace

TNendoMaintForm::TNendoMaintForm(QWidget* parent)
    : TTsubakiBaseForm2(parent),
      NendoGroup(new QGroupBox(QStringLiteral("年度基礎情報"), GroupBox1)),
      DantaiGroup(new QGroupBox(QStringLiteral("団体基礎情報"), GroupBox1)),
      KiEdit(new TDBEdit(NendoGroup)),
      KisyubiEdit(new TDBEdit(NendoGroup)),
      KimatsubiEdit(new TDBEdit(NendoGroup)),
      YubinEdit(new TDBEdit(DantaiGroup)),
      JyusyoEdit(new TDBEdit(DantaiGroup)),
      TelEdit(new TDBEdit(DantaiGroup)),
      FaxEdit(new TDBEdit(DantaiGroup)),
      YakusyokuEdit(new TDBEdit(DantaiGroup)),
      DaihyosyaEdit(new TDBEdit(DantaiGroup)),
      KaikeiYakusyokuEdit(new TDBEdit(DantaiGroup)),
      Kaikei1Edit(new TDBEdit(DantaiGroup)),
      Kaikei2Edit(new TDBEdit(DantaiGroup)),
      KansaYakusyokuEdit(new TDBEdit(DantaiGroup)),
      Kansa1Edit(new TDBEdit(DantaiGroup)),
      Kansa2Edit(new TDBEdit(DantaiGroup)),
      NengoKubunGroup(new TDBRadioGroup(QString(), DantaiGroup)),
      InportBtn(new QPushButton(QStringLiteral("前年度ﾃﾞｰﾀｺﾋﾟｰ"), GroupBox1)),
      SimeGroup(new QGroupBox(QStringLiteral("年度の締め"), GroupBox1)),
      SimeStateLabel(new QLabel(SimeGroup)),
      SimeBtn(new QPushButton(QStringLiteral("年度を締める"), SimeGroup)),
      KaijyoBtn(new QPushButton(QStringLiteral("締めを解除"), SimeGroup)),
      SimeList(new QTableWidget(0, 5, SimeGroup)) {
    setWindowTitle(QStringLiteral("年度別基礎データ設定"));
    SQLDataSet1.SetCommandText(QStringLiteral("select * from NENDO where (NENDO = :Nendo)"));
    ClientDataSet1.SetUpdateTable(QStringLiteral("NENDO"), QStringLiteral("NENDO"));

    data::FieldDef ki{
        .name = QStringLiteral("KI"), .type = data::FieldType::Integer, .label = QStringLiteral("期")};
    ki.size = 2;  // two digits typed, though a stored value may reach 999
    ki.minValue = 0;
    ki.maxValue = 999;
    ki.rangeMessage = QStringLiteral("期は0から999までの数で入力してください。");
    ClientDataSet1.AddField(ki);
    ClientDataSet1.AddField({.name = kKisyubi, .size = 8, .label = QStringLiteral("期首日付")});
    ClientDataSet1.AddField({.name = kKimatsubi, .size = 8, .label = QStringLiteral("期末日付")});
    ClientDataSet1.AddField(TextField(QStringLiteral("YUBIN"), 8, QStringLiteral("〒番号")));
    ClientDataSet1.AddField(TextField(QStringLiteral("JYUSYO"), 30, QStringLiteral("所在地")));
    ClientDataSet1.AddField(TextField(QStringLiteral("TEL"), 20, QStringLiteral("ＴＥＬ")));
    ClientDataSet1.AddField(TextField(QStringLiteral("FAX"), 20, QStringLiteral("ＦＡＸ")));
    ClientDataSet1.AddField(TextField(QStringLiteral("YAKUSYOKU"), 10, QStringLiteral("代表者役職")));
    ClientDataSet1.AddField(TextField(QStringLiteral("DAIHYOSYA"), 10, QStringLiteral("代表者氏名")));
    ClientDataSet1.AddField(TextField(QStringLiteral("KAIKEI_YAKUSYOKU"), 10, QStringLiteral("会計役職")));
    ClientDataSet1.AddField(TextField(QStringLiteral("KAIKEI1"), 10, QStringLiteral("会計担当者")));
    ClientDataSet1.AddField(TextField(QStringLiteral("KAIKEI2"), 10, QStringLiteral("会計担当者")));
    ClientDataSet1.AddField(TextField(QStringLiteral("KANSA_YAKUSYOKU"), 10, QStringLiteral("会計監査役職")));
    ClientDataSet1.AddField(TextField(QStringLiteral("KANSA1"), 10, QStringLiteral("会計監査担当")));
    ClientDataSet1.AddField(TextField(QStringLiteral("KANSA2"), 10, QStringLiteral("会計監査担当")));
    ClientDataSet1.AddField({.name = QStringLiteral("NENGO_KUBUN"),
                             .type = data::FieldType::Integer,
                             .label = QStringLiteral("年表示方法")});
    ClientDataSet1.OnNewRecord = [this](data::DataSet& ds) { ClientDataSet1NewRecord(ds); };
    ClientDataSet1.FieldByName(kKisyubi).OnSetText = [this](data::Field& f, const QString& text) {
        ClientDataSet1KISYUBISetText(f, text);
    };

    const QString unused = QStringLiteral("この項目は使用していないので入力しなくても問題ありません。");
    const QString title = QStringLiteral("決算書に出力する役職名を入力します。");
    const QString person = QStringLiteral("決算書に出力する氏名を入力します。");
    struct Binding {
        TDBEdit* edit;
        const char16_t* field;
        QString hint;
    };
    const Binding bindings[] = {
        {KiEdit, u"KI", unused},
        {KisyubiEdit, u"KISYUBI", QStringLiteral("年は西暦４桁で入力してください。")},
        {KimatsubiEdit, u"KIMATSUBI", QStringLiteral("年は西暦４桁で入力してください。")},
        {YubinEdit, u"YUBIN", unused},
        {JyusyoEdit, u"JYUSYO", unused},
        {TelEdit, u"TEL", unused},
        {FaxEdit, u"FAX", unused},
        {YakusyokuEdit, u"YAKUSYOKU", title},
        {DaihyosyaEdit, u"DAIHYOSYA", person},
        {KaikeiYakusyokuEdit, u"KAIKEI_YAKUSYOKU", title},
        {Kaikei1Edit, u"KAIKEI1", person},
        {Kaikei2Edit, u"KAIKEI2", person},
        {KansaYakusyokuEdit, u"KANSA_YAKUSYOKU", title},
        {Kansa1Edit, u"KANSA1", person},
        {Kansa2Edit, u"KANSA2", person},
    };
    const int wide = fontMetrics().horizontalAdvance(QStringLiteral("あ"));
    for (const Binding& b : bindings) {
        b.edit->SetDataSource(&DataSource1);
        b.edit->SetDataField(QString::fromUtf16(b.field));
        b.edit->setToolTip(b.hint);
        b.edit->setFixedWidth(wide * 11 + 12);
    }
    // Numbers, dates and codes are typed with the input method closed.
    for (TDBEdit* e : {KiEdit, KisyubiEdit, KimatsubiEdit, YubinEdit, TelEdit, FaxEdit})
        e->setAttribute(Qt::WA_InputMethodEnabled, false);
    KiEdit->setFixedWidth(wide * 3 + 12);
    KisyubiEdit->SetEditMask(QStringLiteral("9999/99/99"), false);
    KimatsubiEdit->SetEditMask(QStringLiteral("9999/99/99"), false);
    YubinEdit->SetEditMask(QStringLiteral("999-9999"), true);
    for (TDBEdit* e : {KisyubiEdit, KimatsubiEdit, YubinEdit})
        e->setFixedWidth(wide * 6);
    JyusyoEdit->setFixedWidth(wide * 30 + 12);
    for (TDBEdit* e : {TelEdit, FaxEdit})
        e->setFixedWidth(wide * 10 + 12);
    NengoKubunGroup->SetDataSource(&DataSource1);
    NengoKubunGroup->SetDataField(QStringLiteral("NENGO_KUBUN"));
    NengoKubunGroup->SetItems({QStringLiteral("西暦で表示"), QStringLiteral("和暦で表示")}, {0, 1});
    if (auto* radios = qobject_cast<QBoxLayout*>(NengoKubunGroup->layout()))
        radios->setDirection(QBoxLayout::LeftToRight);
    NengoKubunGroup->setToolTip(QStringLiteral("帳票の年をどちらで表示するか指定します。"));
    InportBtn->setToolTip(QStringLiteral("前年度の情報をコピーします。(日付は自動計算します)"));
    InportBtn->setAutoDefault(false);
    InportBtn->setEnabled(false);

    // Layout: the year's group above the organisation's, the copy button below.
    const auto label = [](const QString& caption, QWidget* buddy, QWidget* owner) {
        auto* l = new QLabel(caption, owner);
        l->setBuddy(buddy);
        return l;
    };
    auto* nendo = new QGridLayout(NendoGroup);
    nendo->addWidget(label(QStringLiteral("期"), KiEdit, NendoGroup), 0, 0);
    nendo->addWidget(KiEdit, 0, 1);
    nendo->addWidget(label(QStringLiteral("期首日付"), KisyubiEdit, NendoGroup), 0, 2);
    nendo->addWidget(KisyubiEdit, 0, 3);
    nendo->addWidget(label(QStringLiteral("期末日付"), KimatsubiEdit, NendoGroup), 0, 4);
    nendo->addWidget(KimatsubiEdit, 0, 5);
    nendo->setColumnStretch(6, 1);
    nendo->setHorizontalSpacing(12);

    // Two captions to a row, in the order the keyboard walks them (left, then
    // right), so that the window with its close history fits a 900-pixel screen.
    auto* dantai = new QGridLayout(DantaiGroup);
    const auto place = [&](int row, int column, const QString& caption,
                           std::initializer_list<QWidget*> controls, int span = 1) {
        dantai->addWidget(label(caption, *controls.begin(), DantaiGroup), row, column * 2);
        auto* line = new QHBoxLayout;
        for (QWidget* c : controls)
            line->addWidget(c);
        line->addStretch(1);
        dantai->addLayout(line, row, column * 2 + 1, 1, span);
    };
    place(0, 0, QStringLiteral("〒番号"), {YubinEdit});
    place(0, 1, QStringLiteral("所在地"), {JyusyoEdit});
    place(1, 0, QStringLiteral("ＴＥＬ"), {TelEdit});
    place(1, 1, QStringLiteral("ＦＡＸ"), {FaxEdit});
    place(2, 0, QStringLiteral("代表者役職"), {YakusyokuEdit});
    place(2, 1, QStringLiteral("代表者氏名"), {DaihyosyaEdit});
    place(3, 0, QStringLiteral("会計役職"), {KaikeiYakusyokuEdit});
    place(3, 1, QStringLiteral("会計担当者"), {Kaikei1Edit, Kaikei2Edit});
    place(4, 0, QStringLiteral("会計監査役職"), {KansaYakusyokuEdit});
    place(4, 1, QStringLiteral("会計監査担当"), {Kansa1Edit, Kansa2Edit});
    place(5, 0, QStringLiteral("年表示方法"), {NengoKubunGroup}, 3);
    dantai->setColumnStretch(3, 1);
    dantai->setHorizontalSpacing(12);

    auto* area = new QVBoxLayout(GroupBox1);
    area->addWidget(NendoGroup);
    area->addWidget(DantaiGroup);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(InportBtn);
    buttons->addStretch(1);
    area->addLayout(buttons);
    InportBtn->setMinimumHeight(32);

    SimeBtn->setToolTip(
        QStringLiteral("会計監査の後、この年度の明細・予算・決算を変更できないようにします。"));
    KaijyoBtn->setToolTip(QStringLiteral("年度の締めを解除します。(パスワードと理由を入力します)"));
    SimeList->setToolTip(QStringLiteral("この年度を締めた・解除した記録です。"));
    SimeList->setHorizontalHeaderLabels({QStringLiteral("日時"), QStringLiteral("操作"),
                                         QStringLiteral("コンピュータ"), QStringLiteral("利用者"),
                                         QStringLiteral("理由・メモ")});
    SimeList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SimeList->setSelectionBehavior(QAbstractItemView::SelectRows);
    SimeList->verticalHeader()->hide();
    SimeList->horizontalHeader()->setStretchLastSection(true);
    SimeList->setMinimumHeight(110);
    {
        const int kanji = SimeList->fontMetrics().horizontalAdvance(u'あ');
        SimeList->setColumnWidth(0, kanji * 9);
        SimeList->setColumnWidth(1, kanji * 3);
        SimeList->setColumnWidth(2, kanji * 8);
        SimeList->setColumnWidth(3, kanji * 6);
    }
    for (QPushButton* b : {SimeBtn, KaijyoBtn}) {
        b->setAutoDefault(false);
        b->setEnabled(false);
    }
    auto* simeButtons = new QHBoxLayout;
    simeButtons->addWidget(SimeStateLabel, 1);
    simeButtons->addWidget(SimeBtn);
    simeButtons->addWidget(KaijyoBtn);
    auto* sime = new QVBoxLayout(SimeGroup);
    sime->addLayout(simeButtons);
    sime->addWidget(SimeList);
    area->addWidget(SimeGroup);
    AskSime = [this](int year, bool reopen, bool askPassword) -> std::optional<SimeAnswer> {
        TNendoSimeDialog dialog(year, reopen, askPassword, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return SimeAnswer{dialog.Password(), dialog.Reason()};
    };

    QWidget* order[] = {KiEdit,
                        KisyubiEdit,
                        KimatsubiEdit,
                        YubinEdit,
                        JyusyoEdit,
                        TelEdit,
                        FaxEdit,
                        YakusyokuEdit,
                        DaihyosyaEdit,
                        KaikeiYakusyokuEdit,
                        Kaikei1Edit,
                        Kaikei2Edit,
                        KansaYakusyokuEdit,
                        Kansa1Edit,
                        Kansa2Edit,
                        NengoKubunGroup->Button(0),
                        NengoKubunGroup->Button(1),
                        InportBtn,
                        SimeBtn,
                        KaijyoBtn,
                        SimeList};
    setTabOrder(NyuryokuBtn, KiEdit);
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    connect(InportBtn, &QPushButton::clicked, this, [this] { Guard([this] { InportBtnClick(); }); });
    connect(SimeBtn, &QPushButton::clicked, this, [this] { Guard([this] { SimeBtnClick(false); }); });
    connect(KaijyoBtn, &QPushButton::clicked, this, [this] { Guard([this] { SimeBtnClick(true); }); });
}

TNendoMaintForm::~TNendoMaintForm() = default;

// ---------------------------------------------------------------- steps

void TNendoMaintForm::ShowBrowseState() {
    TTsubakiBaseForm2::ShowBrowseState();
    InportBtn->setEnabled(false);
    SimeBtn->setEnabled(false);
    KaijyoBtn->setEnabled(false);
    SimeStateLabel->clear();
    SimeList->setRowCount(0);
}

void TNendoMaintForm::ShowEditState() {
    InportBtn->setEnabled(true);
    TTsubakiBaseForm2::ShowEditState();
    ShowSimeState();
}

// ---------------------------------------------------------------- 年度の締め

void TNendoMaintForm::ShowSimeState() {
    db::Connection& connection = DataModule1().SQLConnection1;
    const int nendo = GetNendo();
    const auto history = db::YearCloseHistory(connection, nendo);
    SimeList->setRowCount(static_cast<int>(history.size()));
    int row = 0;
    for (const db::YearCloseEntry& e : history) {
        const QString cells[] = {e.at.toString(QStringLiteral("yyyy/MM/dd HH:mm")),
                                 e.closed ? QStringLiteral("締め") : QStringLiteral("解除"), e.computer,
                                 e.user, e.reason};
        for (int column = 0; column < 5; ++column)
            SimeList->setItem(row, column, new QTableWidgetItem(cells[column]));
        ++row;
    }
    const auto closure = db::YearClosure(connection, nendo);
    SimeStateLabel->setText(closure ? QString::number(nendo) + QStringLiteral("年度は締められています(") +
                                          closure->at.toString(QStringLiteral("yyyy/MM/dd HH:mm")) +
                                          QStringLiteral("、") + closure->computer + QStringLiteral(")。")
                                    : QString::number(nendo) + QStringLiteral("年度は締められていません。"));
    SimeStateLabel->setStyleSheet(closure ? QStringLiteral("color: red;") : QString());
    SimeBtn->setEnabled(!closure);
    KaijyoBtn->setEnabled(closure.has_value());
}

void TNendoMaintForm::SimeBtnClick(bool reopen) {
    db::Connection& connection = DataModule1().SQLConnection1;
    const int nendo = GetNendo();
    if (connection
            .Select(QStringLiteral("select 1 from NENDO where (NENDO = :Nendo)"),
                    {{QStringLiteral("Nendo"), nendo}})
            .rows.empty())
        throw EAppError(QString::number(nendo) +
                        QStringLiteral("年度の基礎データが保存されていません。先に保存してください。"));
    const auto kanri = connection.Select(QStringLiteral("select PASS_WD from KANRI where (KY = 1)"));
    const QString stored =
        kanri.rows.empty() || kanri.rows.front()[0].IsNull() ? QString() : kanri.rows.front()[0].AsString();
    const bool askPassword = reopen && !stored.trimmed().isEmpty();
    const auto answer = AskSime(nendo, reopen, askPassword);
    if (!answer)
        return;
    if (askPassword && !db::PasswordMatches(answer->password, stored))
        throw EAppError(QStringLiteral("パスワードが正しくありません。"));
    if (reopen && answer->reason.trimmed().isEmpty())
        throw EAppError(QStringLiteral("解除の理由を入力してください。"));
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    db::SetYearClosed(connection, nendo, !reopen, platform::FullHostName(), user, answer->reason);
    ShowSimeState();
    ShowMessage(QString::number(nendo) + (reopen ? QStringLiteral("年度の締めを解除しました。")
                                                 : QStringLiteral("年度を締めました。")));
}

void TNendoMaintForm::PostEdit() {
    TTsubakiBaseForm2::PostEdit();
    CheckDates();
}

void TNendoMaintForm::RefuseSave(QWidget* control, const QString& message) {
    // The save's failure puts the focus on the first control; the field at fault
    // takes it once the message is out.
    QMetaObject::invokeMethod(
        this,
        [target = QPointer<QWidget>(control)] {
            if (target)
                target->setFocus();
        },
        Qt::QueuedConnection);
    throw EAppError(message);
}

void TNendoMaintForm::CheckDates() {
    const auto check = [this](const QString& name, TDBEdit* edit) {
        const data::Field& field = ClientDataSet1.FieldByName(name);
        const QString text = TrimCut(field.AsString(), 8);
        if (text.isEmpty())
            RefuseSave(edit, field.DisplayLabel() + QStringLiteral("を入力してください。"));
        if (!IsValidDateText(text))
            RefuseSave(edit, field.DisplayLabel() + QStringLiteral("が正しくありません。"));
        return text;
    };
    const QString first = check(kKisyubi, KisyubiEdit);
    const QString last = check(kKimatsubi, KimatsubiEdit);
    if (last <= first)
        RefuseSave(KisyubiEdit, QStringLiteral("期首日付と期末日付の関係が正しくありません。"));
    // Every year-long report (the monthly summary's twelve columns) holds one year.
    if (last.toInt() > PrevDay(NextYearSameDay(first.toInt())))
        RefuseSave(KimatsubiEdit, QStringLiteral("期首日付から期末日付までが１年を超えています。"));
}

void TNendoMaintForm::SaveData() {
    // Until the year has a budget, the budget's signatories follow the settlement's.
    db::Connection& connection = DataModule1().SQLConnection1;
    data::SqlCommand YosanSQL(QStringLiteral("YosanSQL"), &connection);
    YosanSQL.SetCommandText(QStringLiteral("select first 1 * from YOSAN where (NENDO = :Nendo)"));
    YosanSQL.SetParam(QStringLiteral("Nendo"), GetNendo());
    data::DataSet YosanDS(QStringLiteral("YosanDS"));
    YosanDS.SetConnection(&connection);
    YosanDS.SetCommand(&YosanSQL);
    bool hasBudget = false;
    {
        const data::ScopedOpen open(YosanDS, YosanSQL);
        hasBudget = !YosanDS.IsEmpty();
    }
    if (!hasBudget && !ClientDataSet1.IsEmpty()) {
        data::DsEdit(ClientDataSet1);
        for (const QString& name : Signatories())
            ClientDataSet1.FieldByName(QStringLiteral("YOSAN_") + name)
                .SetComputedValue(ClientDataSet1.FieldByName(name).Value());
        data::DsPost(ClientDataSet1);
    }
    TTsubakiBaseForm2::SaveData();
}

// ---------------------------------------------------------------- handlers

void TNendoMaintForm::ClientDataSet1NewRecord(data::DataSet& ds) {
    ds.FieldByName(QStringLiteral("NENDO")).SetValue(GetNendo());
    ds.FieldByName(QStringLiteral("DANTAIMEI")).SetValue(CurrentDantai);
    ds.FieldByName(QStringLiteral("NENGO_KUBUN")).SetValue(1);
    ds.FieldByName(QStringLiteral("YOSAN_ZERO_PRINT")).SetValue(1);
    ds.FieldByName(QStringLiteral("KESSAN_ZERO_PRINT")).SetValue(1);
}

void TNendoMaintForm::ClientDataSet1KISYUBISetText(data::Field& field, const QString& text) {
    const QString value = TrimCut(text, 8);
    const bool changed = value != field.AsString();
    field.SetValue(value);
    if (changed && IsValidDateText(value)) {
        const int last = PrevDay(NextYearSameDay(value.toInt()));
        field.Owner().FieldByName(kKimatsubi).SetComputedValue(DateText(last));
    }
}

void TNendoMaintForm::InportBtnClick() {
    DataSource1.UpdateRecord();
    db::Connection& connection = DataModule1().SQLConnection1;
    data::SqlCommand ZennenSQL(QStringLiteral("ZennenSQL"), &connection);
    ZennenSQL.SetCommandText(QStringLiteral("select * from NENDO where (NENDO = :Nendo)"));
    ZennenSQL.SetParam(QStringLiteral("Nendo"), GetNendo() - 1);
    data::DataSet ZennenDS(QStringLiteral("ZennenDS"));
    ZennenDS.SetConnection(&connection);
    ZennenDS.SetCommand(&ZennenSQL);
    const data::ScopedOpen open(ZennenDS, ZennenSQL);
    if (ZennenDS.IsEmpty())
        throw EAppError(QStringLiteral("前年度データは登録されていません。"));

    if (!ClientDataSet1.IsEditing()) {
        if (ClientDataSet1.IsEmpty())
            data::DsAppend(ClientDataSet1);
        else
            data::DsEdit(ClientDataSet1);
    }
    CopyPreviousYear(ZennenDS);
    data::DsPost(ClientDataSet1);
    ShowStatus(QStringLiteral("前年度データをコピーしました。"));
}

void TNendoMaintForm::CopyPreviousYear(const data::DataSet& previous) {
    copyWareki_ = IntOf(previous.FieldByName(QStringLiteral("NENGO_KUBUN")).Value()) != 0;
    const int previousYear = GetNendo() - 1;
    const auto set = [this](const QString& name, const db::Value& value) {
        if (data::Field* f = ClientDataSet1.FindField(name))
            f->SetComputedValue(value);
    };
    // The era and year a date line shows: Japanese-era style takes them from the
    // date, Western style from `westernYear`.
    const auto blankLine = [this](int date, int westernYear) {
        if (!copyWareki_)
            return BlankDateLine(QString(), westernYear);
        const EraYear era = EraYearOf(date);
        return BlankDateLine(era.eraName, era.year);
    };
    static const QStringList notCopied{
        QStringLiteral("KISYUBI"),         QStringLiteral("YOSAN_BIKOU"),
        QStringLiteral("KESSAN_BIKOU"),    QStringLiteral("YOSAN_YAKUSYOKU"),
        QStringLiteral("YOSAN_DAIHYOSYA"), QStringLiteral("YOSAN_KAIKEI_YAKUSYOKU"),
        QStringLiteral("YOSAN_KAIKEI1"),   QStringLiteral("YOSAN_KAIKEI2")};
    int first = 0;
    int last = 0;
    for (const auto& field : previous.Fields()) {
        const QString name = field->FieldName().toUpper();
        const db::Value value = field->Value();
        if (notCopied.contains(name))
            continue;
        if (name == QStringLiteral("NENDO")) {
            set(name, IntOf(value) + 1);
        } else if (name == QStringLiteral("KI")) {
            set(name, value.IsNull() ? db::Value() : db::Value(value.AsInteger() + 1));
        } else if (name == kKimatsubi) {
            // A previous year without a valid last day leaves the dates as they are.
            const QString previousLast = TrimCut(value.AsString(), 8);
            if (!value.IsNull() && IsValidDateText(previousLast)) {
                first = NextDay(previousLast.toInt());
                last = PrevDay(NextYearSameDay(first));
                set(kKisyubi, DateText(first));
                set(kKimatsubi, DateText(last));
            }
        } else if (name == QStringLiteral("YOSAN_HIZUKE")) {
            if (first != 0)
                set(name, blankLine(first, GetNendo()));
        } else if (name == QStringLiteral("KESSAN_HIZUKE")) {
            if (last != 0) {
                const Ymd ymd = SplitYmd(last);
                const EraYear era = copyWareki_ ? EraYearOf(last) : EraYear{QString(), ymd.year};
                set(name, FullDateLine(era.eraName, era.year, ymd.month, ymd.day));
            }
        } else if (name == QStringLiteral("KANSA_HIZUKE")) {
            if (last != 0) {
                const int audit = NextDay(last);
                set(name, blankLine(audit, SplitYmd(audit).year));
            }
        } else if (name == QStringLiteral("YOSAN_SYOMEI") || name == QStringLiteral("KESSAN_SYOMEI")) {
            set(name, CurrentDantai);
        } else if (name == QStringLiteral("YOSAN_COMMENT") || name == QStringLiteral("KESSAN_COMMENT") ||
                   name == QStringLiteral("KANSA_COMMENT")) {
            set(name,
                value.IsNull() ? db::Value() : db::Value(ShiftYearInText(previousYear, value.AsString())));
        } else {
            set(name, value);
            if (Signatories().contains(name))
                set(QStringLiteral("YOSAN_") + name, value);
        }
    }
}

QString TNendoMaintForm::ShiftYearInText(int previousYear, const QString& text) const {
    if (!copyWareki_)
        return ShiftWesternYear(previousYear, text);
    const QString first = ClientDataSet1.FieldByName(kKisyubi).AsString();
    const int monthDay = IsValidDateText(first) ? first.mid(4, 4).toInt() : 0;
    return ShiftEraYear(previousYear, monthDay, text);
}
