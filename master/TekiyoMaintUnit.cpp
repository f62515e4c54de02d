#include "master/TekiyoMaintUnit.h"

#include "core/Errors.h"
#include "master/Reading.h"
#include "master/RowChecks.h"
#include "ui/DBGrid.h"

namespace {

const QString kMeisyo = QStringLiteral("MEISYO");

TTekiyoMaintForm::ListDef TekiyoList() {
    return {QStringLiteral("摘要設定"),
            QStringLiteral("select * from TEKIYO order by MEISYO, KENSAKU_MOJI"),
            QStringLiteral("TEKIYO"),
            QStringLiteral("摘要"),
            50,
            QStringLiteral("KENSAKU_MOJI"),
            10,
            QStringLiteral("摘要が重複しています。")};
}

}  // namespace

TTekiyoMaintForm::TTekiyoMaintForm(QWidget* parent) : TTekiyoMaintForm(TekiyoList(), parent) {}

TTekiyoMaintForm::TTekiyoMaintForm(ListDef list, QWidget* parent)
    : TTsubakiGridBaseForm(parent), list_(std::move(list)) {
    setWindowTitle(list_.caption);
    SQLDataSet1.SetCommandText(list_.sql);
    ClientDataSet1.SetUpdateTable(list_.table, kMeisyo);

    data::FieldDef name{.name = kMeisyo, .size = list_.nameLength, .label = list_.nameLabel};
    name.required = true;
    name.trimOnEntry = true;
    ClientDataSet1.AddField(name);
    ClientDataSet1.AddField(
        {.name = list_.readingField, .size = list_.readingLength, .label = QStringLiteral("ふりがな")});
    ClientDataSet1.FieldByName(list_.readingField).OnSetText = [this](data::Field& f, const QString& text) {
        ReadingSetText(f, text);
    };

    const int wide = DBGrid1->fontMetrics().horizontalAdvance(QStringLiteral("あ"));
    DBGrid1->SetColumnWidth(kMeisyo, wide * (std::min(list_.nameLength, 30) + 1) + 16);
    DBGrid1->SetColumnWidth(list_.readingField, wide * (list_.readingLength + 1) + 16);
    DBGrid1->IsUntouchedNewRow = [this](data::DataSet& ds) { return IsUntouchedNewRow(ds); };
    ClientDataSet1.BeforePost = [this](data::DataSet& ds) { ClientDataSet1BeforePost(ds); };
    OnRowSettled([this](data::DataSet& ds) { ClientDataSet1AfterScroll(ds); });
    setMinimumSize(std::min(wide * (std::min(list_.nameLength, 30) + list_.readingLength) + 140, 1000), 600);
}

TTekiyoMaintForm::~TTekiyoMaintForm() = default;

void TTekiyoMaintForm::ReadingSetText(data::Field& field, const QString& text) {
    field.SetValue(db::Value(NormalizeReading(text, list_.readingLength)));
}

void TTekiyoMaintForm::ClientDataSet1AfterScroll(data::DataSet& ds) {
    oldName_ = ds.FieldByName(kMeisyo).AsString();
}

bool TTekiyoMaintForm::IsUntouchedNewRow(data::DataSet& ds) const {
    return IsBlank(ds.FieldByName(kMeisyo)) && IsBlank(ds.FieldByName(list_.readingField));
}

void TTekiyoMaintForm::ClientDataSet1BeforePost(data::DataSet& ds) {
    const data::Field& name = ds.FieldByName(kMeisyo);
    if (IsBlank(name))
        RefuseRow(*DBGrid1, kMeisyo, name.DisplayLabel() + QStringLiteral("を入力してください。"));
    const bool isNew = ds.State() == data::DataSetState::Insert;
    if ((isNew || name.AsString() != oldName_) && RowExists(CloneDS, kMeisyo, {name.Value()}))
        RefuseRow(*DBGrid1, kMeisyo, list_.duplicateMessage);
}
