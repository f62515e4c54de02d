#include "data/SqlCommand.h"

#include "core/Errors.h"
#include "db/NamedParams.h"

namespace data {

void SetParamValue(db::Connection::Params& params, const QString& name, const db::Value& value) {
    for (auto& [key, v] : params) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            v = value;
            return;
        }
    }
    params.emplace_back(name, value);
}

QStringList SqlCommand::ParamNames() const {
    QStringList names;
    for (const QString& name : db::TranslateNamedParams(sql_).names)
        if (!names.contains(name))
            names << name;
    return names;
}

bool SqlCommand::HasParam(const QString& name) const {
    return ParamNames().contains(name.toUpper());
}

void SqlCommand::SetParam(const QString& name, const db::Value& value) {
    SetParamValue(params_, name, value);
}

db::Connection& SqlCommand::RequireConnection() const {
    if (!connection_)
        throw EAppError(Name() + QStringLiteral("の接続が設定されていません。"));
    return *connection_;
}

int SqlCommand::Execute() {
    return RequireConnection().Execute(sql_, params_);
}

db::Connection::Rows SqlCommand::Select() {
    return RequireConnection().Select(sql_, params_);
}

void SqlCommand::SelectEach(const std::function<void(const std::vector<db::Value>& row)>& row) {
    RequireConnection().SelectEach(sql_, params_, row);
}

}  // namespace data
