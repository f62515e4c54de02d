#include "kaihi/HanMaintUnit.h"

#include "core/Errors.h"
#include "db/DataModule.h"
#include "master/RowChecks.h"
#include "ui/DBGrid.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kCd = u"HAN_CD"_s;
const QString kMeisyo = u"MEISYO"_s;
const QString kHancyo = u"HANCYO"_s;
const QString kJunjyo = u"JUNJYO"_s;

data::FieldDef IntegerField(const QString& name, const QString& label) {
    data::FieldDef def{.name = name, .type = data::FieldType::Integer};
    def.label = label;
    return def;
}

// What still uses a 班: households' history and the payments its 班長 took.
std::vector<UsageCheck> HanUsers() {
    return {{u"select first 1 HAN_CD from SETAI_HAN where (HAN_CD = :HanCd)"_s, u"世帯データ"_s},
            {u"select first 1 HAN_CD from KAIHI_NOUFU where (HAN_CD = :HanCd)"_s, u"会費の納付データ"_s}};
}

}  // namespace

THanMaintForm::THanMaintForm(QWidget* parent) : TTsubakiGridBaseForm(parent) {
    setWindowTitle(u"班設定"_s);
    SQLDataSet1.SetCommandText(u"select * from HAN order by JUNJYO, HAN_CD"_s);
    ClientDataSet1.SetUpdateTable(u"HAN"_s, kCd);

    data::FieldDef cd = IntegerField(kCd, u"コード"_s);
    cd.required = true;
    cd.minValue = 1;
    cd.maxValue = 999;
    cd.rangeMessage = u"コードは1から999までの数で入力してください。"_s;
    ClientDataSet1.AddField(cd);
    data::FieldDef meisyo{.name = kMeisyo, .size = 10, .label = u"班名"_s};
    meisyo.trimOnEntry = true;
    ClientDataSet1.AddField(meisyo);
    data::FieldDef hancyo{.name = kHancyo, .size = 10, .label = u"班長"_s};
    hancyo.trimOnEntry = true;
    ClientDataSet1.AddField(hancyo);
    ClientDataSet1.AddField(IntegerField(kJunjyo, u"順序"_s));

    const int wide = DBGrid1->fontMetrics().horizontalAdvance(u'あ');
    DBGrid1->SetColumnWidth(kCd, wide * 5);
    DBGrid1->SetColumnWidth(kMeisyo, wide * 11 + 16);
    DBGrid1->SetColumnWidth(kHancyo, wide * 11 + 16);
    DBGrid1->SetColumnWidth(kJunjyo, wide * 5);
    DBGrid1->IsUntouchedNewRow = [this](data::DataSet& ds) { return IsUntouchedNewRow(ds); };
    ClientDataSet1.BeforePost = [this](data::DataSet& ds) { ClientDataSet1BeforePost(ds); };
    ClientDataSet1.BeforeDelete = [this](data::DataSet& ds) { ClientDataSet1BeforeDelete(ds); };
    OnRowSettled([this](data::DataSet& ds) { ClientDataSet1AfterScroll(ds); });
    setMinimumSize(wide * 36 + 100, 480);
}

THanMaintForm::~THanMaintForm() = default;

void THanMaintForm::ClientDataSet1AfterScroll(data::DataSet& ds) {
    oldCode_ = IntOf(ds.FieldByName(kCd));
}

bool THanMaintForm::IsUntouchedNewRow(data::DataSet& ds) const {
    return IntOf(ds.FieldByName(kCd)) == 0 && IsBlank(ds.FieldByName(kMeisyo)) &&
           IsBlank(ds.FieldByName(kHancyo)) && IntOf(ds.FieldByName(kJunjyo)) == 0;
}

void THanMaintForm::ClientDataSet1BeforePost(data::DataSet& ds) {
    const data::Field& cd = ds.FieldByName(kCd);
    if (IntOf(cd) == 0)
        RefuseRow(*DBGrid1, kCd, cd.DisplayLabel() + u"を入力してください。"_s);
    const data::Field& meisyo = ds.FieldByName(kMeisyo);
    if (IsBlank(meisyo))
        RefuseRow(*DBGrid1, kMeisyo, meisyo.DisplayLabel() + u"を入力してください。"_s);
    const bool isNew = ds.State() == data::DataSetState::Insert;
    if ((isNew || IntOf(cd) != oldCode_) && RowExists(CloneDS, kCd, {cd.Value()}))
        RefuseRow(*DBGrid1, kCd, u"コードが重複しています。"_s);
    // Households and payments keep the old code: they would lose their 班.
    if (!isNew && IntOf(cd) != oldCode_) {
        if (const auto user = FirstUser(DataModule1().SQLConnection1, HanUsers(), u"HanCd"_s, oldCode_))
            RefuseRow(*DBGrid1, kCd, u"この班は"_s + *user + u"で使用中のためコードを変更できません"_s);
    }
}

void THanMaintForm::ClientDataSet1BeforeDelete(data::DataSet& ds) {
    const data::Field& cd = ds.FieldByName(kCd);
    if (const auto user = FirstUser(DataModule1().SQLConnection1, HanUsers(), u"HanCd"_s, cd.Value()))
        throw EAppError(u"この班は"_s + *user + u"で使用中のため削除できません"_s);
}
