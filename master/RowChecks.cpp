#include "master/RowChecks.h"

#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "data/DataSet.h"
#include "data/ScopedOpen.h"
#include "data/SqlCommand.h"
#include "ui/DBGrid.h"

void RefuseRow(TDBGrid& grid, const QString& fieldName, const QString& message) {
    grid.SetSelectedField(fieldName);
    throw EAppError(message);
}

int IntOf(const data::Field& field) {
    return field.IsNull() ? 0 : static_cast<int>(field.AsInteger());
}

bool IsBlank(const data::Field& field) {
    return field.IsNull() || TrimZen(field.AsString()).isEmpty();
}

bool RowExists(data::DataSet& view, const QString& keyFields, const std::vector<db::Value>& values) {
    return view.Locate(keyFields, values);
}

std::optional<QString> FirstUser(db::Connection& connection, const std::vector<UsageCheck>& checks,
                                 const QString& paramName, const db::Value& value) {
    for (const UsageCheck& check : checks) {
        data::SqlCommand command(QStringLiteral("UsageSQL"), &connection);
        command.SetCommandText(check.sql);
        command.SetParam(paramName, value);
        data::DataSet rows(QStringLiteral("UsageDS"));
        rows.SetConnection(&connection);
        rows.SetCommand(&command);
        const data::ScopedOpen open(rows, command);
        if (!rows.IsEmpty())
            return check.dataName;
    }
    return std::nullopt;
}
