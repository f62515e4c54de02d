#pragma once
// The dataset operations the windows use (DsOpen, DsPost, …): each runs one
// operation and, when it fails, beeps and asks
//   <name>の<operation>を失敗しました\r\n\r\n<message>
// with 中止/再試行 (focus on 再試行). 中止 raises the silent abort; any other answer
// runs the operation again. A silent abort raised by the operation passes unchanged.

#include "data/Component.h"
#include "data/DataSet.h"
#include "data/SqlCommand.h"
#include "db/Value.h"

#include <QString>

#include <vector>

namespace data {

enum DataSetOperationCode : int {
    dsoExecSQL = 3,
    dsoOpen = 4,
    dsoClose = 5,
    dsoEdit = 7,
    dsoAppend = 8,
    dsoInsert = 9,
    dsoPost = 10,
    dsoCancel = 11,
    dsoDelete = 12,
    dsoFirst = 14,
    dsoFindFirst = 18,
};

// The name of an operation as the user reads it ("オープン", "更新", …); empty for
// the codes no operation uses.
QString OperationName(int code);

// Runs operation `code` on `target` with the retry dialog. Returns the find result
// for dsoFindFirst, true otherwise. Codes outside 1..30 are refused at once.
bool DataSetOperation(Component& target, int code);

bool DsExecSQL(SqlCommand& command);
bool DsOpen(DataSet& dataSet);
// False (and nothing shown) when the dataset is not open. An SQL command holds no
// rows of its own, so it is never open.
bool DsClose(DataSet& dataSet);
bool DsClose(SqlCommand& command);
// Only while browsing.
void DsEdit(DataSet& dataSet);
bool DsAppend(DataSet& dataSet);
bool DsInsert(DataSet& dataSet);
// Only while editing or inserting; false otherwise.
bool DsPost(DataSet& dataSet);
bool DsCancel(DataSet& dataSet);
bool DsDelete(DataSet& dataSet);
void DsFirst(DataSet& dataSet);
bool DsFindFirst(DataSet& dataSet);
// Exact, case-sensitive match of every key field (";"-separated).
bool DsLocate(DataSet& dataSet, const QString& keyFields, const std::vector<db::Value>& keyValues);

}  // namespace data
