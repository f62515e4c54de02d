#include "tests/data/DataSetFixture.h"

namespace data::testing {

void DeclareBunruiFields(DataSet& ds) {
    FieldDef cd{.name = u"CD"_qs, .type = FieldType::Integer, .label = u"コード"_qs, .required = true};
    cd.minValue = 1;
    cd.maxValue = 99;
    ds.AddField(cd);
    ds.AddField({.name = u"MEISYO"_qs,
                 .type = FieldType::Text,
                 .size = 10,
                 .label = u"分類名"_qs,
                 .trimOnEntry = true});
    ds.AddField({.name = u"SYUSI_KUBUN"_qs, .type = FieldType::Integer});
    ds.AddField({.name = u"KINGAKU"_qs,
                 .type = FieldType::Integer,
                 .displayFormat = u"#,##0;-#,##0"_qs,
                 .editFormat = u"0;-0"_qs,
                 .zeroAsBlank = true});
}

void AppendBunrui(DataSet& ds, int cd, const QString& meisyo, int syusiKubun) {
    ds.Append();
    ds.FieldByName(u"CD"_qs).SetValue(cd);
    ds.FieldByName(u"MEISYO"_qs).SetValue(meisyo);
    ds.FieldByName(u"SYUSI_KUBUN"_qs).SetValue(syusiKubun);
    ds.Post();
}

void FillBunrui(DataSet& ds, std::initializer_list<BunruiRow> rows) {
    DeclareBunruiFields(ds);
    ds.CreateDataSet();
    for (const BunruiRow& r : rows)
        AppendBunrui(ds, r.cd, QString::fromUtf16(r.meisyo), r.syusiKubun);
    ds.MergeChangeLog();
    ds.First();
}

QList<qint64> Codes(DataSet& ds) {
    QList<qint64> codes;
    for (ds.First(); !ds.Eof(); ds.Next())
        codes << ds.FieldByName(u"CD"_qs).AsInteger();
    return codes;
}

}  // namespace data::testing
