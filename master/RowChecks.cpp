#include "master/RowChecks.h"

#include "core/ComputerName.h"
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
        if (command.ParamNames().contains(QStringLiteral("CPU_NAME"), Qt::CaseInsensitive))
            command.SetParam(QStringLiteral("CPU_NAME"), GetComputerNameStr());
        data::DataSet rows(QStringLiteral("UsageDS"));
        rows.SetConnection(&connection);
        rows.SetCommand(&command);
        const data::ScopedOpen open(rows, command);
        if (!rows.IsEmpty())
            return check.dataName;
    }
    return std::nullopt;
}

std::vector<UsageCheck> LiveWorkRowChecks(const QString& column, const QString& paramName, bool journal) {
    std::vector<UsageCheck> checks;
    const auto add = [&](const char16_t* table, const char16_t* dataName) {
        checks.push_back({QStringLiteral("select first 1 %2 from %1 where (%2 = :%3) and (CPU_NAME <> :CPU_NAME)")
                              .arg(QStringView(table), column, paramName),
                          QString::fromUtf16(dataName)});
    };
    if (journal)
        add(u"W_MEISAI", u"入力中の収支明細データ");
    add(u"W_YOSAN", u"入力中の予算データ");
    add(u"W_KESSAN", u"入力中の決算データ");
    return checks;
}
