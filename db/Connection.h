#pragma once
// The program's one connection to the database of the organisation logged in
// (SQLConnection1). It opens on demand, asks for the database string before every
// connect, and closes by itself when no dataset is open on it and no explicit
// transaction is active.

#include "db/Value.h"

#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace db {

class Connection {
  public:
    // Gives the database string: a plain path opens the file with the engine in
    // this process; "host:path" and "host/port:path" go to a server.
    using DatabaseStringProvider = std::function<QString()>;

    struct Column {
        QString name;  // the column's alias in the query (its name when it has none)
        enum class Type { Integer, Float, Text, Other } type;
        int length;  // characters, for texts; 0 for other types
        bool nullable;
        int scale = 0;  // the decimal scale of a NUMERIC/DECIMAL column (negative), else 0
    };
    struct Rows {
        std::vector<Column> columns;
        std::vector<std::vector<Value>> rows;
    };
    // Values of the :Name parameters of a statement; names match without regard to
    // letter case; a name missing here binds NULL.
    using Params = std::vector<std::pair<QString, Value>>;

    // While a DatasetUse lives, the connection counts an open dataset and stays open
    // between statements.
    class DatasetUse {
      public:
        DatasetUse(DatasetUse&& other) noexcept;
        DatasetUse& operator=(DatasetUse&& other) noexcept;
        DatasetUse(const DatasetUse&) = delete;
        DatasetUse& operator=(const DatasetUse&) = delete;
        ~DatasetUse();

      private:
        friend class Connection;
        explicit DatasetUse(Connection* connection);
        Connection* connection_;
    };

    explicit Connection(DatabaseStringProvider provider);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Connects, asking the provider for the database string; does nothing when connected.
    void Open();
    // Rolls back an explicit transaction still active, drops the prepared statements
    // and disconnects. Never fails; does nothing when not connected.
    void Close();
    bool Connected() const;

    DatasetUse UseDataset();

    // Seconds a connect to a server may take before it is given up; 0 leaves the
    // client library's own limit (three minutes), which freezes the program when a
    // server accepts the connection and never answers.
    void SetConnectTimeout(int seconds) { connectTimeout_ = seconds; }
    // Builds the message of a connect to a server that failed on the network, from
    // the server as named in the database string ("host" or "host/port") and the
    // client library's text. Without it the client library's text is the message.
    using ServerFailureMessage = std::function<QString(const QString& server, const QString& detail)>;
    void SetServerFailureMessage(ServerFailureMessage message) { serverFailureMessage_ = std::move(message); }
    // Runs `action` after every connect, before the statement that needed the
    // connect: what depends on the attachment (a window's claim on its work-table
    // key) follows it to the new one. A failing action is ignored. Returns the id
    // that RemoveConnectAction takes.
    int AddConnectAction(std::function<void()> action);
    void RemoveConnectAction(int id);

    // Runs a query and returns all its rows. Texts come back as stored (CHAR values
    // keep their trailing blanks).
    Rows Select(const QString& sql, const Params& params = {});
    // Runs a query and hands its rows to `row` one at a time as they are fetched,
    // keeping none: the memory does not grow with the number of rows.
    void SelectEach(const QString& sql, const Params& params,
                    const std::function<void(const std::vector<Value>& row)>& row);
    // The same with the query's columns told first (an empty list, and no rows, for
    // a statement that returns none, as Select gives).
    void SelectEach(const QString& sql, const Params& params,
                    const std::function<void(const std::vector<Column>& columns)>& columns,
                    const std::function<void(const std::vector<Value>& row)>& row);
    // Runs a statement and returns the number of rows it changed.
    int Execute(const QString& sql, const Params& params = {});

    // The one explicit transaction (the entry windows' save). Select and Execute run
    // inside it while it is active; outside it each call has a short transaction of
    // its own, committed on success and rolled back on failure. A failed Commit
    // leaves the transaction active for the caller to roll back.
    void StartTransaction();
    // The explicit transaction as a read-only snapshot: every statement in it sees
    // the database as it was when it started, whatever others commit meanwhile (a
    // report's statements agree with each other). Ended by Commit or Rollback.
    void StartSnapshot();
    void Commit();
    void Rollback();
    bool InTransaction() const;
    // Runs `action` once when the explicit transaction ends: with true after it was
    // committed, with false after a rollback (a Close included). Work that is only
    // done once its statements are durable (a dataset forgetting the changes it sent)
    // waits for this. Needs an active explicit transaction.
    void OnTransactionEnd(std::function<void(bool committed)> action);

  private:
    struct State;
    class Session;
    void StartTransaction(bool snapshot);
    void CloseIfIdle() noexcept;
    void EndTransactionActions(bool committed) noexcept;
    void ReleaseDataset() noexcept;
    template <class F>
    auto Run(F&& body);

    DatabaseStringProvider provider_;
    std::unique_ptr<State> state_;
    int datasets_ = 0;
    int connectTimeout_ = 0;
    ServerFailureMessage serverFailureMessage_;
    std::vector<std::pair<int, std::function<void()>>> connectActions_;
    int nextConnectAction_ = 1;
};

}  // namespace db
