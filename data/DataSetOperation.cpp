#include "data/DataSetOperation.h"

#include "core/Dialogs.h"
#include "core/Errors.h"

#include <utility>

#include <array>

namespace data {

namespace {

constexpr int kOperationCount = 30;

// Shows the failure and decides: 中止 ends the action silently, anything else retries.
void AskRetry(const QString& name, const QString& operation, const std::exception& error) {
    Dialogs().Beep();
    const QString text = name + QStringLiteral("の") + operation + QStringLiteral("を失敗しました") +
                         QStringLiteral("\r\n\r\n") + ErrorMessageOf(error);
    if (MsgDialog(text, MsgDlgType::Error, mbAbort | mbRetry, mbRetry) == ModalResult::Abort)
        throw EAbort();
}

template <class Operation>
auto RetryLoop(const QString& name, const QString& operationName, Operation&& operation) {
    for (;;) {
        try {
            return operation();
        } catch (const EAbort&) {
            throw;
        } catch (const std::exception& e) {
            AskRetry(name, operationName, e);
        }
    }
}

[[noreturn]] void Unsupported() {
    throw EAppError(QStringLiteral("この操作はできません"));
}

bool Run(Component& target, int code) {
    if (code == dsoExecSQL) {
        auto* command = dynamic_cast<SqlCommand*>(&target);
        if (!command)
            Unsupported();
        command->Execute();
        return true;
    }
    auto* ds = dynamic_cast<DataSet*>(&target);
    if (!ds)
        Unsupported();
    switch (code) {
        case dsoOpen:
            ds->Open();
            return true;
        case dsoClose:
            ds->Close();
            return true;
        case dsoEdit:
            ds->Edit();
            return true;
        case dsoAppend:
            ds->Append();
            return true;
        case dsoInsert:
            ds->Insert();
            return true;
        case dsoPost:
            ds->Post();
            return true;
        case dsoCancel:
            ds->Cancel();
            return true;
        case dsoDelete:
            ds->Delete();
            return true;
        case dsoFirst:
            ds->First();
            return true;
        case dsoFindFirst:
            return ds->FindFirst();
        default:
            Unsupported();
    }
}

}  // namespace

QString OperationName(int code) {
    switch (code) {
        case dsoExecSQL:
            return QStringLiteral("クエリーの実行");
        case dsoOpen:
            return QStringLiteral("オープン");
        case dsoClose:
            return QStringLiteral("クローズ");
        case dsoEdit:
            return QStringLiteral("編集準備");
        case dsoAppend:
            return QStringLiteral("レコード追加");
        case dsoInsert:
            return QStringLiteral("レコード挿入");
        case dsoPost:
            return QStringLiteral("更新");
        case dsoCancel:
            return QStringLiteral("編集中止");
        case dsoDelete:
            return QStringLiteral("レコード削除");
        case dsoFirst:
            return QStringLiteral("読み込み(First)");
        case dsoFindFirst:
            return QStringLiteral("読み込み(FindFirst)");
        default:
            return {};
    }
}

bool DataSetOperation(Component& target, int code) {
    if (code < 1 || code > kOperationCount)
        throw EAppError(target.Name() + QStringLiteral("で未定義の操作を実行しました"));
    auto* ds = dynamic_cast<DataSet*>(&target);
    bool first = true;
    return RetryLoop(target.Name(), OperationName(code), [&] {
        // When the operation itself was done and only its After… event failed (the
        // write-back after a post, say), a retry runs that event again: repeating the
        // operation would post or delete another row.
        if (!std::exchange(first, false) && ds && ds->AfterEventFailed()) {
            ds->RetryAfterEvent();
            return code == dsoFindFirst ? ds->RecIndex() >= 0 : true;
        }
        return Run(target, code);
    });
}

bool DsExecSQL(SqlCommand& command) {
    return DataSetOperation(command, dsoExecSQL);
}

bool DsOpen(DataSet& dataSet) {
    return DataSetOperation(dataSet, dsoOpen);
}

bool DsClose(DataSet& dataSet) {
    if (!dataSet.Active())
        return false;
    return DataSetOperation(dataSet, dsoClose);
}

bool DsClose(SqlCommand&) {
    return false;
}

void DsEdit(DataSet& dataSet) {
    if (dataSet.State() == DataSetState::Browse)
        DataSetOperation(dataSet, dsoEdit);
}

bool DsAppend(DataSet& dataSet) {
    return DataSetOperation(dataSet, dsoAppend);
}

bool DsInsert(DataSet& dataSet) {
    return DataSetOperation(dataSet, dsoInsert);
}

bool DsPost(DataSet& dataSet) {
    if (!dataSet.IsEditing())
        return false;
    return DataSetOperation(dataSet, dsoPost);
}

bool DsCancel(DataSet& dataSet) {
    if (!dataSet.IsEditing())
        return false;
    return DataSetOperation(dataSet, dsoCancel);
}

bool DsDelete(DataSet& dataSet) {
    return DataSetOperation(dataSet, dsoDelete);
}

void DsFirst(DataSet& dataSet) {
    DataSetOperation(dataSet, dsoFirst);
}

bool DsFindFirst(DataSet& dataSet) {
    return DataSetOperation(dataSet, dsoFindFirst);
}

bool DsLocate(DataSet& dataSet, const QString& keyFields, const std::vector<db::Value>& keyValues) {
    return RetryLoop(dataSet.Name(), QStringLiteral("読み込み(Locate)"),
                     [&] { return dataSet.Locate(keyFields, keyValues); });
}

}  // namespace data
