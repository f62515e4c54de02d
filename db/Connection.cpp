#include "db/Connection.h"

#include "db/Error.h"
#include "db/FbApi.h"
#include "db/FbMessage.h"
#include "db/NamedParams.h"

#include <QFileInfo>
#include <QHash>

#include <unordered_map>

namespace db {

namespace {

using Firebird::IStatement;
using Firebird::ITransaction;

constexpr unsigned kDialect = 3;
// SQL texts are a fixed set in this program; a text built with values inside it
// should not make the cache grow without end.
constexpr std::size_t kMaxCachedStatements = 500;

// A statement prepared once per SQL text and reused until the connection closes.
struct Prepared {
    fb::Statement statement;
    std::vector<QString> names;
    std::unique_ptr<fb::InputMessage> input;
    std::unique_ptr<fb::OutputMessage> output;  // none when the statement returns no columns
    unsigned type = 0;
    bool hasCursor = false;
};

struct QStringHash {
    std::size_t operator()(const QString& s) const noexcept { return qHash(s); }
};

bool ChangesRows(unsigned type) {
    return type == isc_info_sql_stmt_insert || type == isc_info_sql_stmt_update ||
           type == isc_info_sql_stmt_delete || type == isc_info_sql_stmt_exec_procedure;
}

}  // namespace

struct Connection::State {
    fb::Status status;
    fb::Attachment attachment;
    fb::Transaction explicitTransaction;
    std::vector<std::function<void(bool)>> transactionEndActions;
    std::unordered_map<QString, std::unique_ptr<Prepared>, QStringHash> cache;

    fb::Transaction StartTransaction(bool snapshot = false) {
        fb::Xpb tpb(Firebird::IXpbBuilder::TPB);
        fb::AddTransactionParameters(tpb, snapshot);
        return fb::Transaction(attachment->startTransaction(&status, tpb.Length(), tpb.Buffer()));
    }

    // The prepared statement of `sql`. A DDL statement is not kept: it is handed over
    // in `uncached`, and every statement kept so far is dropped first, because a
    // prepared statement holds on to the tables it names (and a "select *" to their
    // columns as they were).
    Prepared& Acquire(const QString& sql, ITransaction* tra, std::unique_ptr<Prepared>& uncached) {
        if (auto it = cache.find(sql); it != cache.end())
            return *it->second;
        PositionalSql positional = TranslateNamedParams(sql);
        const QByteArray text = positional.sql.toUtf8();
        auto p = std::make_unique<Prepared>();
        p->statement = fb::Statement(attachment->prepare(&status, tra, static_cast<unsigned>(text.size()),
                                                         text.constData(), kDialect,
                                                         IStatement::PREPARE_PREFETCH_METADATA));
        p->names = std::move(positional.names);
        p->type = p->statement->getType(&status);
        p->hasCursor = (p->statement->getFlags(&status) & IStatement::FLAG_HAS_CURSOR) != 0;
        fb::Ref<Firebird::IMessageMetadata> in(p->statement->getInputMetadata(&status));
        p->input = std::make_unique<fb::InputMessage>(in.get(), &status);
        fb::Ref<Firebird::IMessageMetadata> out(p->statement->getOutputMetadata(&status));
        if (out->getCount(&status) > 0)
            p->output = std::make_unique<fb::OutputMessage>(out.get(), &status);

        if (p->type == isc_info_sql_stmt_ddl) {
            cache.clear();
            uncached = std::move(p);
            return *uncached;
        }
        if (cache.size() >= kMaxCachedStatements)
            cache.clear();
        return *cache.emplace(sql, std::move(p)).first->second;
    }

    void Bind(Prepared& p, const Params& params) {
        static const Value null;
        std::vector<const Value*> values(p.input->Count(), &null);
        for (std::size_t i = 0; i < values.size() && i < p.names.size(); ++i) {
            for (const auto& [name, value] : params) {
                if (name.compare(p.names[i], Qt::CaseInsensitive) == 0) {
                    values[i] = &value;
                    break;
                }
            }
        }
        p.input->Bind(values, &status);
    }

    QByteArray ReadBlob(ITransaction* tra, const ISC_QUAD& id) {
        ISC_QUAD blobId = id;
        fb::Blob blob(attachment->openBlob(&status, tra, &blobId, 0, nullptr));
        QByteArray data;
        char chunk[16384];
        for (;;) {
            unsigned got = 0;
            const int result = blob->getSegment(&status, sizeof chunk, chunk, &got);
            if (result != Firebird::IStatus::RESULT_OK && result != Firebird::IStatus::RESULT_SEGMENT)
                break;
            data.append(chunk, got);
        }
        blob.End(&status);
        return data;
    }
};

Connection::DatasetUse::DatasetUse(Connection* connection) : connection_(connection) {
    ++connection_->datasets_;
}

Connection::DatasetUse::DatasetUse(DatasetUse&& other) noexcept
    : connection_(std::exchange(other.connection_, nullptr)) {}

Connection::DatasetUse& Connection::DatasetUse::operator=(DatasetUse&& other) noexcept {
    if (this != &other) {
        if (connection_)
            connection_->ReleaseDataset();
        connection_ = std::exchange(other.connection_, nullptr);
    }
    return *this;
}

Connection::DatasetUse::~DatasetUse() {
    if (connection_)
        connection_->ReleaseDataset();
}

Connection::Connection(DatabaseStringProvider provider)
    : provider_(std::move(provider)), state_(std::make_unique<State>()) {}

Connection::~Connection() {
    Close();
}

void Connection::Open() {
    if (Connected())
        return;
    const QByteArray database = provider_().toUtf8();
    const bool embedded = fb::IsEmbeddedDatabase(database);
    try {
        fb::Guard([&] {
            fb::Xpb dpb(Firebird::IXpbBuilder::DPB);
            fb::AddConnectParameters(dpb);
            if (embedded)
                fb::AddEmbeddedEngineParameters(dpb, QFileInfo(QString::fromUtf8(database)).size());
            else if (connectTimeout_ > 0)
                dpb->insertInt(&state_->status, isc_dpb_connect_timeout, connectTimeout_);
            state_->attachment = fb::Attachment(fb::Provider()->attachDatabase(
                &state_->status, database.constData(), dpb.Length(), dpb.Buffer()));
        });
    } catch (const Error& e) {
        if (embedded || !serverFailureMessage_ || !fb::IsNetworkFailure(e.Code()))
            throw;
        const QString text = QString::fromUtf8(database);
        throw Error(serverFailureMessage_(text.left(text.indexOf(u':')), e.Message()), e.Code());
    }
    // A copy: an action may add or remove actions.
    const auto actions = connectActions_;
    for (const auto& [id, action] : actions) {
        try {
            action();
        } catch (...) {
            // The action's own later check (a save confirming its claim) reports it.
        }
    }
}

int Connection::AddConnectAction(std::function<void()> action) {
    const int id = nextConnectAction_++;
    connectActions_.emplace_back(id, std::move(action));
    return id;
}

void Connection::RemoveConnectAction(int id) {
    std::erase_if(connectActions_, [id](const auto& entry) { return entry.first == id; });
}

void Connection::Close() {
    state_->cache.clear();
    const bool rolledBack = InTransaction();
    state_->explicitTransaction.Discard();
    state_->attachment.Discard();
    if (rolledBack)
        EndTransactionActions(false);
}

void Connection::OnTransactionEnd(std::function<void(bool committed)> action) {
    if (!InTransaction())
        throw Error(QStringLiteral("トランザクションが開始されていません。"));
    state_->transactionEndActions.push_back(std::move(action));
}

void Connection::EndTransactionActions(bool committed) noexcept {
    auto actions = std::exchange(state_->transactionEndActions, {});
    for (auto& action : actions) {
        try {
            action(committed);
        } catch (...) {
            // An action only tidies up memory; the transaction's outcome stands.
        }
    }
}

bool Connection::Connected() const {
    return static_cast<bool>(state_->attachment);
}

Connection::DatasetUse Connection::UseDataset() {
    return DatasetUse(this);
}

void Connection::ReleaseDataset() noexcept {
    --datasets_;
    CloseIfIdle();
}

void Connection::CloseIfIdle() noexcept {
    if (datasets_ == 0 && !InTransaction())
        Close();
}

template <class F>
auto Connection::Run(F&& body) {
    Open();
    struct IdleCloser {
        Connection* connection;
        ~IdleCloser() { connection->CloseIfIdle(); }
    } closer{this};
    return fb::Guard([&] {
        if (state_->explicitTransaction)
            return body(state_->explicitTransaction.get());
        fb::Transaction transaction = state_->StartTransaction();
        auto result = body(transaction.get());
        fb::Commit(transaction, &state_->status);
        return result;
    });
}

Connection::Rows Connection::Select(const QString& sql, const Params& params) {
    return Run([&](ITransaction* tra) {
        std::unique_ptr<Prepared> uncached;
        Prepared& p = state_->Acquire(sql, tra, uncached);
        state_->Bind(p, params);
        auto& status = state_->status;
        Rows rows;
        if (!p.output) {
            p.statement->execute(&status, tra, p.input->Metadata(), p.input->Buffer(), nullptr, nullptr);
            return rows;
        }
        rows.columns = p.output->Columns();
        const auto readBlob = [&](const ISC_QUAD& id) { return state_->ReadBlob(tra, id); };
        if (p.hasCursor) {
            fb::ResultSet cursor(p.statement->openCursor(&status, tra, p.input->Metadata(), p.input->Buffer(),
                                                         p.output->Metadata(), 0));
            while (cursor->fetchNext(&status, p.output->Buffer()) == Firebird::IStatus::RESULT_OK) {
                rows.rows.push_back(p.output->Read(readBlob));
            }
            cursor.End(&status);
        } else {
            p.statement->execute(&status, tra, p.input->Metadata(), p.input->Buffer(), p.output->Metadata(),
                                 p.output->Buffer());
            rows.rows.push_back(p.output->Read(readBlob));
        }
        return rows;
    });
}

void Connection::SelectEach(const QString& sql, const Params& params,
                            const std::function<void(const std::vector<Value>& row)>& row) {
    SelectEach(
        sql, params,
        [](const std::vector<Column>& columns) {
            if (columns.empty())
                throw Error(QStringLiteral("行を返さない文です。"));
        },
        row);
}

void Connection::SelectEach(const QString& sql, const Params& params,
                            const std::function<void(const std::vector<Column>& columns)>& columns,
                            const std::function<void(const std::vector<Value>& row)>& row) {
    Run([&](ITransaction* tra) {
        std::unique_ptr<Prepared> uncached;
        Prepared& p = state_->Acquire(sql, tra, uncached);
        state_->Bind(p, params);
        auto& status = state_->status;
        if (!p.output) {
            columns({});
            p.statement->execute(&status, tra, p.input->Metadata(), p.input->Buffer(), nullptr, nullptr);
            return 0;
        }
        columns(p.output->Columns());
        const auto readBlob = [&](const ISC_QUAD& id) { return state_->ReadBlob(tra, id); };
        if (p.hasCursor) {
            fb::ResultSet cursor(p.statement->openCursor(&status, tra, p.input->Metadata(), p.input->Buffer(),
                                                         p.output->Metadata(), 0));
            while (cursor->fetchNext(&status, p.output->Buffer()) == Firebird::IStatus::RESULT_OK)
                row(p.output->Read(readBlob));
            cursor.End(&status);
        } else {
            p.statement->execute(&status, tra, p.input->Metadata(), p.input->Buffer(), p.output->Metadata(),
                                 p.output->Buffer());
            row(p.output->Read(readBlob));
        }
        return 0;
    });
}

int Connection::Execute(const QString& sql, const Params& params) {
    return Run([&](ITransaction* tra) {
        std::unique_ptr<Prepared> uncached;
        Prepared& p = state_->Acquire(sql, tra, uncached);
        state_->Bind(p, params);
        auto& status = state_->status;
        if (p.hasCursor) {
            // A query run for its effect: read it through, keep nothing.
            fb::ResultSet cursor(p.statement->openCursor(&status, tra, p.input->Metadata(), p.input->Buffer(),
                                                         p.output->Metadata(), 0));
            while (cursor->fetchNext(&status, p.output->Buffer()) == Firebird::IStatus::RESULT_OK) {
            }
            cursor.End(&status);
            return 0;
        }
        p.statement->execute(&status, tra, p.input->Metadata(), p.input->Buffer(),
                             p.output ? p.output->Metadata() : nullptr,
                             p.output ? p.output->Buffer() : nullptr);
        return ChangesRows(p.type) ? static_cast<int>(p.statement->getAffectedRecords(&status)) : 0;
    });
}

void Connection::StartTransaction() {
    StartTransaction(false);
}

void Connection::StartSnapshot() {
    StartTransaction(true);
}

void Connection::StartTransaction(bool snapshot) {
    if (InTransaction())
        throw Error(QStringLiteral("トランザクションは既に開始されています。"));
    Open();
    try {
        fb::Guard([&] { state_->explicitTransaction = state_->StartTransaction(snapshot); });
    } catch (...) {
        CloseIfIdle();
        throw;
    }
}

void Connection::Commit() {
    if (!InTransaction())
        throw Error(QStringLiteral("トランザクションが開始されていません。"));
    fb::Guard([&] { fb::Commit(state_->explicitTransaction, &state_->status); });
    EndTransactionActions(true);
    CloseIfIdle();
}

void Connection::Rollback() {
    if (!InTransaction())
        return;
    struct IdleCloser {
        Connection* connection;
        ~IdleCloser() { connection->CloseIfIdle(); }
    } closer{this};
    struct EndActions {
        Connection* connection;
        ~EndActions() { connection->EndTransactionActions(false); }
    } endActions{this};
    fb::Guard([&] { state_->explicitTransaction.End(&state_->status); });
}

bool Connection::InTransaction() const {
    return static_cast<bool>(state_->explicitTransaction);
}

}  // namespace db
