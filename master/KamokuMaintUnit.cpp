#include "master/KamokuMaintUnit.h"

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

const QString kBunrui = QStringLiteral("BUNRUI");
const QString kBunruiMeisyo = QStringLiteral("BUNRUI_MEISYO");
const QString kCd = QStringLiteral("CD");
const QString kMeisyo = QStringLiteral("MEISYO");
const QString kKaisi = QStringLiteral("KAISI_NENDO");
const QString kSyuryo = QStringLiteral("SYURYO_NENDO");
const QString kTokubetsuCd = QStringLiteral("TOKUBETSU_CD");
const QString kJunjyo = QStringLiteral("JUNJYO");
const QString kSakujyoFuka = QStringLiteral("SAKUJYO_FUKA");
const QString kTokubetsuKaikei = QStringLiteral("TOKUBETSU_KAIKEI");

data::FieldDef IntegerField(const QString& name, const QString& label, int low, int high) {
    data::FieldDef def{.name = name, .type = data::FieldType::Integer};
    def.label = label;
    def.minValue = low;
    def.maxValue = high;
    def.rangeMessage = label + QStringLiteral("は%1から%2までの数で入力してください。").arg(low).arg(high);
    return def;
}

// What still uses an item.
std::vector<UsageCheck> KamokuUsers() {
    const auto usage = [](const char16_t* table, const char16_t* dataName) {
        return UsageCheck{
            QStringLiteral("select first 1 KAMOKU from %1 where (KAMOKU = :Kamoku)").arg(QStringView(table)),
            QString::fromUtf16(dataName)};
    };
    return {
        usage(u"MEISAI", u"収支明細データ"),
        usage(u"YOSAN", u"予算データ"),
        usage(u"KESSAN", u"決算データ"),
        usage(u"CYUKAN_KESSAN", u"中間決算データ"),
        usage(u"KURIKOSI", u"集計対象外科目繰越データ"),
    };
}

}  // namespace

TKamokuMaintForm::TKamokuMaintForm(QWidget* parent)
    : TTsubakiGridBaseForm(parent), YousiBtn(new QPushButton(QStringLiteral("登録用紙"), this)) {
    setWindowTitle(QStringLiteral("科目(集計項目)設定"));
    SQLDataSet1.SetCommandText(QStringLiteral("select * from KAMOKU order by BUNRUI, CD"));
    ClientDataSet1.SetUpdateTable(QStringLiteral("KAMOKU"), kCd);
    BunruiSQL.SetCommandText(
        QStringLiteral("select B.CD, B.TOKUBETSU_KAIKEI, "
                       "substring(case when B.KESSANSYO_KUBUN = 1 then coalesce(S.MEISYO || ' ', '') || "
                       "coalesce(B.MEISYO, '') "
                       "else coalesce(B.MEISYO, '') end from 1 for 15) as BUNRUI_MEISYO "
                       "from BUNRUI B left join SYUSI_KUBUN S on (S.CD = B.SYUSI_KUBUN) "
                       "order by B.KESSANSYO_KUBUN desc, B.SYUSI_KUBUN, B.JUNJYO, B.CD"));
    BunruiDS.SetCommand(&BunruiSQL);
    KaikeiKubunSQL.SetCommandText(QStringLiteral(
        "select CD, case when CD = 0 then '' else MEISYO end as MEISYO from KAIKEI_KUBUN order by CD"));
    KaikeiKubunDS.SetCommand(&KaikeiKubunSQL);

    ClientDataSet1.AddField(IntegerField(kBunrui, QStringLiteral("分類CD"), 0, 99));
    data::FieldDef bunruiMeisyo{.name = kBunruiMeisyo, .label = QStringLiteral("科目分類")};
    bunruiMeisyo.inUpdate = false;
    bunruiMeisyo.lookup = data::LookupDef{&BunruiDS, kBunrui, kCd, kBunruiMeisyo};
    ClientDataSet1.AddField(bunruiMeisyo);
    data::FieldDef cd = IntegerField(kCd, QStringLiteral("ｺｰﾄﾞ"), 0, 9999);
    cd.required = true;
    cd.displayFormat = QStringLiteral("0000");
    ClientDataSet1.AddField(cd);
    data::FieldDef meisyo{.name = kMeisyo, .size = 15, .label = QStringLiteral("科目名")};
    meisyo.trimOnEntry = true;
    ClientDataSet1.AddField(meisyo);
    ClientDataSet1.AddField(IntegerField(kKaisi, QStringLiteral("適用開始年度"), 0, 9999));
    ClientDataSet1.AddField(IntegerField(kSyuryo, QStringLiteral("適用終了年度"), 0, 9999));
    data::FieldDef kubun{.name = kTokubetsuCd, .type = data::FieldType::Integer};
    kubun.label = QStringLiteral("会計区分");
    ClientDataSet1.AddField(kubun);
    ClientDataSet1.AddField(IntegerField(kJunjyo, QStringLiteral("表示順序"), 0, 99));
    data::FieldDef sakujyoFuka{.name = kSakujyoFuka, .type = data::FieldType::Integer};
    sakujyoFuka.visible = false;
    ClientDataSet1.AddField(sakujyoFuka);
    ClientDataSet1.FieldByName(kBunrui).OnChange = [this](data::Field& f) { BunruiChange(f); };

    DBGrid1->SetLookupList(kTokubetsuCd, &KaikeiKubunDS, kCd, kMeisyo);
    DBGrid1->SetColumnWidth(kBunrui, 70);
    DBGrid1->SetColumnWidth(kBunruiMeisyo, 200);
    DBGrid1->SetColumnWidth(kCd, 60);
    DBGrid1->SetColumnWidth(kMeisyo, 230);
    DBGrid1->SetColumnWidth(kKaisi, 110);
    DBGrid1->SetColumnWidth(kSyuryo, 110);
    DBGrid1->SetColumnWidth(kTokubetsuCd, 150);
    DBGrid1->SetColumnWidth(kJunjyo, 80);
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
    setMinimumSize(1100, 640);
}

TKamokuMaintForm::~TKamokuMaintForm() = default;

void TKamokuMaintForm::PrepareWindow() {
    OpenLookupLists({&BunruiDS, &KaikeiKubunDS});
    TTsubakiGridBaseForm::PrepareWindow();
}

void TKamokuMaintForm::ClientDataSet1NewRecord(data::DataSet& ds) {
    ds.FieldByName(kJunjyo).SetValue(99);
    ds.FieldByName(kSakujyoFuka).SetValue(0);
    ds.FieldByName(kTokubetsuCd).SetValue(0);
}

void TKamokuMaintForm::ClientDataSet1AfterScroll(data::DataSet& ds) {
    oldCode_ = IntOf(ds.FieldByName(kCd));
    oldKubun_ = IntOf(ds.FieldByName(kTokubetsuCd));
}

void TKamokuMaintForm::BunruiChange(data::Field& field) {
    // Only the classifications of transfers let an item name a division.
    const auto allows =
        field.IsNull() ? std::nullopt : BunruiDS.Lookup(kCd, {field.Value()}, kTokubetsuKaikei);
    if (!allows || allows->IsNull() || allows->AsInteger() == 0)
        field.Owner().FieldByName(kTokubetsuCd).SetComputedValue(0);
}

bool TKamokuMaintForm::IsUntouchedNewRow(data::DataSet& ds) const {
    return IntOf(ds.FieldByName(kCd)) == 0 && IntOf(ds.FieldByName(kBunrui)) == 0 &&
           IntOf(ds.FieldByName(kKaisi)) == 0 && IntOf(ds.FieldByName(kSyuryo)) == 0 &&
           IsBlank(ds.FieldByName(kMeisyo)) && IntOf(ds.FieldByName(kJunjyo)) == 99;
}

bool TKamokuMaintForm::IsReadOnlyCell(const data::Field& field, int row) const {
    const QString& name = field.FieldName();
    if (name != kBunrui && name != kBunruiMeisyo && name != kCd && name != kTokubetsuCd)
        return false;
    const db::Value builtIn = ClientDataSet1.DisplayValue(row, ClientDataSet1.FieldByName(kSakujyoFuka));
    return !builtIn.IsNull() && builtIn.AsInteger() == 1;
}

void TKamokuMaintForm::ClientDataSet1BeforePost(data::DataSet& ds) {
    const data::Field& bunrui = ds.FieldByName(kBunrui);
    if (IntOf(bunrui) == 0)
        RefuseRow(*DBGrid1, kBunrui, QStringLiteral("分類CDまたは科目分類を入力してください。"));
    const auto allows = BunruiDS.Lookup(kCd, {bunrui.Value()}, kTokubetsuKaikei);
    if (!allows)
        RefuseRow(*DBGrid1, kBunrui, QStringLiteral("入力した分類CDは登録されていません。"));
    const data::Field& cd = ds.FieldByName(kCd);
    if (IntOf(cd) == 0)
        RefuseRow(*DBGrid1, kCd, cd.DisplayLabel() + QStringLiteral("を入力してください。"));
    const data::Field& meisyo = ds.FieldByName(kMeisyo);
    if (IsBlank(meisyo))
        RefuseRow(*DBGrid1, kMeisyo, meisyo.DisplayLabel() + QStringLiteral("を入力してください。"));
    const int kaisi = IntOf(ds.FieldByName(kKaisi));
    const int syuryo = IntOf(ds.FieldByName(kSyuryo));
    if (kaisi != 0 && syuryo != 0 && syuryo < kaisi)
        RefuseRow(*DBGrid1, kKaisi, QStringLiteral("開始年度と終了年度の関係が正しくありません。"));
    const bool isNew = ds.State() == data::DataSetState::Insert;
    if ((isNew || IntOf(cd) != oldCode_) && RowExists(CloneDS, kCd, {cd.Value()}))
        RefuseRow(*DBGrid1, kCd, QStringLiteral("コードが重複しています。"));
    // Journal, budget, settlement and carry-over rows keep the old code: they would
    // lose their item in every list and workbook without a word.
    if (!isNew && IntOf(cd) != oldCode_) {
        std::vector<UsageCheck> users = KamokuUsers();
        const auto work = LiveWorkRowChecks(QStringLiteral("KAMOKU"), QStringLiteral("Kamoku"));
        users.insert(users.end(), work.begin(), work.end());
        if (const auto user = FirstUser(DataModule1().SQLConnection1, users, QStringLiteral("Kamoku"), oldCode_))
            RefuseRow(*DBGrid1, kCd,
                      QStringLiteral("この項目(科目)は") + *user + QStringLiteral("で使用中のためコードを変更できません"));
    }
    const data::Field& kubun = ds.FieldByName(kTokubetsuCd);
    if (IntOf(kubun) == 0)
        return;
    if (allows->IsNull() || allows->AsInteger() == 0)
        RefuseRow(
            *DBGrid1, kTokubetsuCd,
            ds.FieldByName(kBunruiMeisyo).AsString() + QStringLiteral("のときは会計区分を入力できません。"));
    if ((isNew || IntOf(kubun) != oldKubun_) &&
        RowExists(CloneDS, kBunrui + u';' + kTokubetsuCd, {bunrui.Value(), kubun.Value()}))
        RefuseRow(*DBGrid1, kTokubetsuCd, QStringLiteral("会計区分が重複しています。"));
}

void TKamokuMaintForm::ClientDataSet1BeforeDelete(data::DataSet& ds) {
    if (IntOf(ds.FieldByName(kSakujyoFuka)) == 1)
        throw EAppError(QStringLiteral("この項目(科目)は削除できません。"));
    if (const auto user = FirstUser(DataModule1().SQLConnection1, KamokuUsers(), QStringLiteral("Kamoku"),
                                    ds.FieldByName(kCd).Value()))
        throw EAppError(QStringLiteral("この項目(科目)は") + *user +
                        QStringLiteral("で使用中のため削除できません"));
}
