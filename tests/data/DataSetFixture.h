#pragma once
// Small datasets made in memory for the data layer's tests.

#include "data/DataSet.h"

#include <QString>
#include <QStringList>

namespace data::testing {

// Declares the fields of a classification list: CD (integer 1..99, required,
// label コード), MEISYO (text, 10 characters, trimmed, label 分類名),
// SYUSI_KUBUN (integer), KINGAKU (integer, "#,##0;-#,##0", edited "0;-0", zero blank).
void DeclareBunruiFields(DataSet& ds);
// Declares the fields, opens the dataset with no rows and adds the rows as its own
// (no pending changes). Each row: code, name, receipts/payments kind.
struct BunruiRow {
    int cd;
    const char16_t* meisyo;
    int syusiKubun;
};
void FillBunrui(DataSet& ds, std::initializer_list<BunruiRow> rows);
// Appends and posts one row.
void AppendBunrui(DataSet& ds, int cd, const QString& meisyo, int syusiKubun);
// The codes of the rows the dataset shows, in order (moves the cursor).
QList<qint64> Codes(DataSet& ds);

}  // namespace data::testing
