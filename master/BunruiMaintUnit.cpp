#include "master/BunruiMaintUnit.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "data/DataSetOperation.h"
#include "db/DataModule.h"
#include "master/RowChecks.h"
#include "reports/TorokuYousi.h"
#include "ui/DBGrid.h"

namespace {

const QString kCd = QStringLiteral("CD");
const QString kMeisyo = QStringLiteral("MEISYO");
const QString kSyusi = QStringLiteral("SYUSI_KUBUN");
const QString kKessansyo = QStringLiteral("KESSANSYO_KUBUN");
const QString kJunjyo = QStringLiteral("JUNJYO");
const QString kSakujyoFuka = QStringLiteral("SAKUJYO_FUKA");
const QString kTokubetsu = QStringLiteral("TOKUBETSU_KAIKEI");

data::FieldDef IntegerField(const QString& name, const QString& label) {
    data::FieldDef def{.name = name, .type = data::FieldType::Integer};
    def.label = label;
    return def;
}

// What still uses a classification: the items filed under it.
std::vector<UsageCheck> BunruiUsers() {
    return {{QStringLiteral("select BUNRUI from KAMOKU where ( BUNRUI = :Bunrui)"),
             QStringLiteral("科目(集計項目)データ")}};
}

}  // namespace

TBunruiMaintForm::TBunruiMaintForm(QWidget* parent)
    : TTsubakiGridBaseForm(parent), YousiBtn(new QPushButton(QStringLiteral("登録用紙"), this)) {
    setWindowTitle(QStringLiteral("科目分類設定"));
    SQLDataSet1.SetCommandText(QStringLiteral("select * from BUNRUI where (CD not in (30,60)) order by CD"));
    ClientDataSet1.SetUpdateTable(QStringLiteral("BUNRUI"), kCd);
    SyusiKubunSQL.SetCommandText(QStringLiteral("select * from SYUSI_KUBUN"));
    SyusiKubunDS.SetCommand(&SyusiKubunSQL);
    HyoujiKubunSQL.SetCommandText(QStringLiteral("select * from HYOUJI_KUBUN"));
    HyoujiKubunDS.SetCommand(&HyoujiKubunSQL);

    data::FieldDef cd = IntegerField(kCd, QStringLiteral("コード"));
    cd.required = true;
    cd.minValue = 1;
    cd.maxValue = 99;
    cd.rangeMessage = QStringLiteral("コードは1から99までの数で入力してください。");
    ClientDataSet1.AddField(cd);
    data::FieldDef meisyo{.name = kMeisyo, .size = 10, .label = QStringLiteral("分類名")};
    meisyo.trimOnEntry = true;
    ClientDataSet1.AddField(meisyo);
    ClientDataSet1.AddField(IntegerField(kSyusi, QStringLiteral("収支区分")));
    ClientDataSet1.AddField(IntegerField(kKessansyo, QStringLiteral("決算書予算書集計区分")));
    data::FieldDef junjyo = IntegerField(kJunjyo, QStringLiteral("表示順序"));
    junjyo.minValue = 0;
    junjyo.maxValue = 99;
    junjyo.rangeMessage = QStringLiteral("表示順序は0から99までの数で入力してください。");
    ClientDataSet1.AddField(junjyo);
    for (const QString& hidden : {kSakujyoFuka, kTokubetsu}) {
        data::FieldDef def = IntegerField(hidden, hidden);
        def.visible = false;
        ClientDataSet1.AddField(def);
    }

    DBGrid1->SetLookupList(kSyusi, &SyusiKubunDS, kCd, kMeisyo);
    DBGrid1->SetLookupList(kKessansyo, &HyoujiKubunDS, kCd, kMeisyo);
    DBGrid1->SetColumnWidth(kCd, 70);
    DBGrid1->SetColumnWidth(kMeisyo, 190);
    DBGrid1->SetColumnWidth(kSyusi, 100);
    DBGrid1->SetColumnWidth(kKessansyo, 200);
    DBGrid1->SetColumnWidth(kJunjyo, 90);
    DBGrid1->IsUntouchedNewRow = [this](data::DataSet& ds) { return IsUntouchedNewRow(ds); };
    DBGrid1->IsReadOnlyCell = [this](const data::Field& f, int row) { return IsReadOnlyCell(f, row); };
    ClientDataSet1.OnNewRecord = [this](data::DataSet& ds) { ClientDataSet1NewRecord(ds); };
    ClientDataSet1.BeforePost = [this](data::DataSet& ds) { ClientDataSet1BeforePost(ds); };
    ClientDataSet1.BeforeDelete = [this](data::DataSet& ds) { ClientDataSet1BeforeDelete(ds); };
    OnRowSettled([this](data::DataSet& ds) { ClientDataSet1AfterScroll(ds); });

    YousiBtn->setToolTip(QStringLiteral("科目分類と科目(集計項目)の登録用紙を出力します。"));
    YousiBtn->setAutoDefault(false);
    connect(YousiBtn, &QPushButton::clicked, this, [] { RunGuarded([] { OpenTorokuYousi(); }); });
    ButtonLayout()->insertWidget(1, YousiBtn);
    setMinimumSize(760, 560);
}

TBunruiMaintForm::~TBunruiMaintForm() = default;

void TBunruiMaintForm::PrepareWindow() {
    OpenLookupLists({&SyusiKubunDS, &HyoujiKubunDS});
    TTsubakiGridBaseForm::PrepareWindow();
}

void TBunruiMaintForm::ClientDataSet1NewRecord(data::DataSet& ds) {
    ds.FieldByName(kKessansyo).SetValue(1);
    ds.FieldByName(kJunjyo).SetValue(99);
    ds.FieldByName(kSakujyoFuka).SetValue(0);
    ds.FieldByName(kTokubetsu).SetValue(0);
}

void TBunruiMaintForm::ClientDataSet1AfterScroll(data::DataSet& ds) {
    oldCode_ = IntOf(ds.FieldByName(kCd));
}

bool TBunruiMaintForm::IsUntouchedNewRow(data::DataSet& ds) const {
    return IntOf(ds.FieldByName(kCd)) == 0 && IsBlank(ds.FieldByName(kMeisyo)) &&
           IntOf(ds.FieldByName(kSyusi)) == 0 && IntOf(ds.FieldByName(kKessansyo)) == 1 &&
           IntOf(ds.FieldByName(kJunjyo)) == 99;
}

bool TBunruiMaintForm::IsReadOnlyCell(const data::Field& field, int row) const {
    if (field.FieldName() == kJunjyo)
        return false;
    const db::Value builtIn = ClientDataSet1.DisplayValue(row, ClientDataSet1.FieldByName(kSakujyoFuka));
    return !builtIn.IsNull() && builtIn.AsInteger() == 1;
}

void TBunruiMaintForm::ClientDataSet1BeforePost(data::DataSet& ds) {
    const data::Field& cd = ds.FieldByName(kCd);
    if (IntOf(cd) == 0)
        RefuseRow(*DBGrid1, kCd, cd.DisplayLabel() + QStringLiteral("を入力してください。"));
    const data::Field& meisyo = ds.FieldByName(kMeisyo);
    if (IsBlank(meisyo))
        RefuseRow(*DBGrid1, kMeisyo, meisyo.DisplayLabel() + QStringLiteral("を入力してください。"));
    const data::Field& syusi = ds.FieldByName(kSyusi);
    if (IntOf(syusi) == 0)
        RefuseRow(*DBGrid1, kSyusi, syusi.DisplayLabel() + QStringLiteral("を入力してください。"));
    const bool isNew = ds.State() == data::DataSetState::Insert;
    if ((isNew || IntOf(cd) != oldCode_) && RowExists(CloneDS, kCd, {cd.Value()}))
        RefuseRow(*DBGrid1, kCd, QStringLiteral("コードが重複しています。"));
    // Items (and the statements' work rows) keep the old code: they would lose
    // their classification without a word.
    if (!isNew && IntOf(cd) != oldCode_) {
        std::vector<UsageCheck> users = BunruiUsers();
        const auto work = LiveWorkRowChecks(QStringLiteral("BUNRUI"), QStringLiteral("Bunrui"), false);
        users.insert(users.end(), work.begin(), work.end());
        if (const auto user = FirstUser(DataModule1().SQLConnection1, users, QStringLiteral("Bunrui"), oldCode_))
            RefuseRow(*DBGrid1, kCd,
                      QStringLiteral("この科目分類は") + *user + QStringLiteral("で使用中のためコードを変更できません"));
    }
}

void TBunruiMaintForm::ClientDataSet1BeforeDelete(data::DataSet& ds) {
    if (IntOf(ds.FieldByName(kSakujyoFuka)) == 1)
        throw EAppError(QStringLiteral("この分類は削除できません。"));
    if (const auto user = FirstUser(DataModule1().SQLConnection1, BunruiUsers(), QStringLiteral("Bunrui"),
                                    ds.FieldByName(kCd).Value()))
        throw EAppError(QStringLiteral("この科目分類は") + *user +
                        QStringLiteral("で使用中のため削除できません"));
}
