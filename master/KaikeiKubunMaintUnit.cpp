#include "master/KaikeiKubunMaintUnit.h"

#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "db/DataModule.h"
#include "master/RowChecks.h"
#include "ui/DBGrid.h"

namespace {

const QString kCd = QStringLiteral("CD");
const QString kMeisyo = QStringLiteral("MEISYO");
const QString kKaisi = QStringLiteral("KAISI_NENDO");
const QString kSyuryo = QStringLiteral("SYURYO_NENDO");

data::FieldDef IntegerField(const QString& name, const QString& label) {
    data::FieldDef def{.name = name, .type = data::FieldType::Integer};
    def.label = label;
    return def;
}

// A typed code read as a number; anything else counts as 0.
int TypedCode(const QString& text) {
    bool ok = false;
    const int value = ToHankaku(TrimZen(text)).toInt(&ok);
    return ok ? value : 0;
}

// What still uses a division.
std::vector<UsageCheck> KaikeiKubunUsers() {
    const auto usage = [](const char16_t* table, const char16_t* column, const char16_t* dataName) {
        return UsageCheck{QStringLiteral("select first 1 %2 from %1 where (%2 = :KaikeiKubun)")
                              .arg(QStringView(table), QStringView(column)),
                          QString::fromUtf16(dataName)};
    };
    return {
        usage(u"KAMOKU", u"TOKUBETSU_CD", u"科目(集計項目)データ"),
        usage(u"MEISAI", u"KAIKEI_KUBUN", u"収支明細データ"),
        usage(u"KURIKOSI", u"KAIKEI_KUBUN", u"集計対象外科目繰越データ"),
        usage(u"KESSAN", u"KAIKEI_KUBUN", u"決算データ"),
        usage(u"CYUKAN_KESSAN", u"KAIKEI_KUBUN", u"中間決算データ"),
        usage(u"YOSAN", u"KAIKEI_KUBUN", u"予算データ"),
    };
}

}  // namespace

TKaikeiKubunMaintForm::TKaikeiKubunMaintForm(QWidget* parent) : TTsubakiGridBaseForm(parent) {
    setWindowTitle(QStringLiteral("会計区分設定"));
    SQLDataSet1.SetCommandText(QStringLiteral("select * from KAIKEI_KUBUN order by CD"));
    ClientDataSet1.SetUpdateTable(QStringLiteral("KAIKEI_KUBUN"), kCd);

    data::FieldDef cd = IntegerField(kCd, QStringLiteral("コード"));
    cd.required = true;
    cd.minValue = 0;
    cd.maxValue = 99;
    cd.rangeMessage = QStringLiteral("コードは99以下の数で入力してください。");
    ClientDataSet1.AddField(cd);
    data::FieldDef meisyo{.name = kMeisyo, .size = 10, .label = QStringLiteral("会計区分")};
    meisyo.trimOnEntry = true;
    ClientDataSet1.AddField(meisyo);
    ClientDataSet1.AddField(IntegerField(kKaisi, QStringLiteral("適用開始年度")));
    ClientDataSet1.AddField(IntegerField(kSyuryo, QStringLiteral("適用終了年度")));
    ClientDataSet1.FieldByName(kCd).OnSetText = [this](data::Field& f, const QString& text) {
        ClientDataSet1CDSetText(f, text);
    };

    DBGrid1->SetColumnWidth(kCd, 70);
    DBGrid1->SetColumnWidth(kMeisyo, 200);
    DBGrid1->SetColumnWidth(kKaisi, 120);
    DBGrid1->SetColumnWidth(kSyuryo, 120);
    DBGrid1->IsUntouchedNewRow = [this](data::DataSet& ds) { return IsUntouchedNewRow(ds); };
    ClientDataSet1.BeforePost = [this](data::DataSet& ds) { ClientDataSet1BeforePost(ds); };
    ClientDataSet1.BeforeDelete = [this](data::DataSet& ds) { ClientDataSet1BeforeDelete(ds); };
    OnRowSettled([this](data::DataSet& ds) { ClientDataSet1AfterScroll(ds); });
    setMinimumSize(620, 480);
}

TKaikeiKubunMaintForm::~TKaikeiKubunMaintForm() = default;

void TKaikeiKubunMaintForm::ClientDataSet1AfterScroll(data::DataSet& ds) {
    oldCode_ = IntOf(ds.FieldByName(kCd));
}

void TKaikeiKubunMaintForm::ClientDataSet1CDSetText(data::Field& field, const QString& text) {
    const bool stored = field.Owner().State() != data::DataSetState::Insert;
    if (stored && !field.IsNull() && field.AsInteger() == 0 && TypedCode(text) != 0)
        throw EAppError(QStringLiteral("一般会計のコードは変更できません。"));
    field.SetValue(db::Value(text));
}

bool TKaikeiKubunMaintForm::IsUntouchedNewRow(data::DataSet& ds) const {
    return IntOf(ds.FieldByName(kCd)) == 0 && IsBlank(ds.FieldByName(kMeisyo)) &&
           IntOf(ds.FieldByName(kKaisi)) == 0 && IntOf(ds.FieldByName(kSyuryo)) == 0;
}

void TKaikeiKubunMaintForm::ClientDataSet1BeforePost(data::DataSet& ds) {
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
    // Items, journal, budget, settlement and carry-over rows keep the old code: they
    // would fall out of every division without a word.
    if (!isNew && IntOf(cd) != oldCode_) {
        std::vector<UsageCheck> users = KaikeiKubunUsers();
        const auto work = LiveWorkRowChecks(QStringLiteral("KAIKEI_KUBUN"), QStringLiteral("KaikeiKubun"));
        users.insert(users.end(), work.begin(), work.end());
        if (const auto user =
                FirstUser(DataModule1().SQLConnection1, users, QStringLiteral("KaikeiKubun"), oldCode_))
            RefuseRow(*DBGrid1, kCd,
                      QStringLiteral("この会計区分は") + *user + QStringLiteral("で使用中のためコードを変更できません"));
    }
}

void TKaikeiKubunMaintForm::ClientDataSet1BeforeDelete(data::DataSet& ds) {
    const data::Field& cd = ds.FieldByName(kCd);
    if (IntOf(cd) == 0)
        throw EAppError(QStringLiteral("一般会計は削除できません。"));
    if (const auto user =
            FirstUser(DataModule1().SQLConnection1, KaikeiKubunUsers(), QStringLiteral("KaikeiKubun"), cd.Value()))
        throw EAppError(QStringLiteral("この会計区分は") + *user +
                        QStringLiteral("で使用中のため削除できません"));
}
