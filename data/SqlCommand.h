#pragma once
// An SQL command object (SQLDataSet1, NendoUpdateSQL, …): a name, an SQL text with
// :Name parameters and their values, run on a connection. It also feeds a
// dataset's rows (DataSet::SetCommand).

#include "data/Component.h"
#include "db/Connection.h"

#include <QString>
#include <QStringList>

namespace data {

class SqlCommand : public Component {
  public:
    explicit SqlCommand(QString name, db::Connection* connection = nullptr)
        : Component(std::move(name)), connection_(connection) {}

    void SetConnection(db::Connection* connection) { connection_ = connection; }
    db::Connection* Connection() const { return connection_; }
    void SetCommandText(QString sql) { sql_ = std::move(sql); }
    const QString& CommandText() const { return sql_; }

    // The parameter names the SQL text uses, each once, upper-case.
    QStringList ParamNames() const;
    bool HasParam(const QString& name) const;
    // Sets a parameter's value (names ignore letter case).
    void SetParam(const QString& name, const db::Value& value);
    const db::Connection::Params& Params() const { return params_; }
    void ClearParams() { params_.clear(); }

    // Runs the text as a statement; returns the rows it changed.
    int Execute();
    db::Connection::Rows Select();
    // The rows one at a time, none kept (Connection::SelectEach).
    void SelectEach(const std::function<void(const std::vector<db::Value>& row)>& row);

  private:
    db::Connection& RequireConnection() const;

    db::Connection* connection_;
    QString sql_;
    db::Connection::Params params_;
};

// Sets `name` in `params` (names ignore letter case), adding it when missing.
void SetParamValue(db::Connection::Params& params, const QString& name, const db::Value& value);

}  // namespace data
