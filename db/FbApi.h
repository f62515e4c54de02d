#pragma once
// Private to db/: access to Firebird's interfaces, RAII owners for them, and the
// one place where Firebird's exceptions become db::Error.

#include "db/Error.h"

#include <firebird/Interface.h>

#include <QByteArray>

#include <utility>

namespace db::fb {

Firebird::IMaster* Master();
Firebird::IUtil* Util();
// The dispatcher that opens databases (embedded for a plain path, remote for host:path).
Firebird::IProvider* Provider();

// A status vector owned for the life of one object, wrapped to throw FbException.
class Status {
  public:
    Status() : status_(Master()->getStatus()), wrapper_(status_) {}
    ~Status() { status_->dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    Firebird::ThrowStatusWrapper* operator&() { return &wrapper_; }
    Firebird::ThrowStatusWrapper* get() { return &wrapper_; }

  private:
    Firebird::IStatus* status_;
    Firebird::ThrowStatusWrapper wrapper_;
};

// The server's formatted text and first error code of a failure.
Error ToError(const Firebird::FbException& e);

// Runs `body`, turning a Firebird exception into db::Error.
template <class F>
decltype(auto) Guard(F&& body) {
    try {
        return std::forward<F>(body)();
    } catch (const Firebird::FbException& e) {
        throw ToError(e);
    }
}

// Owns a reference-counted interface that is merely released (metadata, builders).
template <class T>
class Ref {
  public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    ~Ref() { reset(); }
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ref& operator=(Ref&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset(T* p = nullptr) {
        if (p_)
            p_->release();
        p_ = p;
    }

  private:
    T* p_ = nullptr;
};

// Owns an interface that must be ended by a call of its own (detach, rollback,
// free, close). Such a call releases the interface when it succeeds; when it
// fails the interface is still ours and is released here.
template <class T, void (*Ender)(T*, Firebird::ThrowStatusWrapper*)>
class Owned {
  public:
    Owned() = default;
    explicit Owned(T* p) : p_(p) {}
    ~Owned() { Discard(); }
    Owned(Owned&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) {
            Discard();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // Ends the object and lets a failure propagate; either way this owner is empty after.
    void End(Firebird::ThrowStatusWrapper* status) {
        T* p = std::exchange(p_, nullptr);
        if (!p)
            return;
        try {
            Ender(p, status);
        } catch (...) {
            p->release();
            throw;
        }
    }
    // Ends the object, ignoring a failure (clean-up paths).
    void Discard() noexcept {
        if (!p_)
            return;
        try {
            Status status;
            End(&status);
        } catch (...) {
        }
    }
    // Hands over the interface after a call that consumed it some other way (commit).
    T* release() { return std::exchange(p_, nullptr); }

  private:
    T* p_ = nullptr;
};

inline void DetachAttachment(Firebird::IAttachment* a, Firebird::ThrowStatusWrapper* s) {
    a->detach(s);
}
inline void RollbackTransaction(Firebird::ITransaction* t, Firebird::ThrowStatusWrapper* s) {
    t->rollback(s);
}
inline void FreeStatement(Firebird::IStatement* st, Firebird::ThrowStatusWrapper* s) {
    st->free(s);
}
inline void CloseResultSet(Firebird::IResultSet* r, Firebird::ThrowStatusWrapper* s) {
    r->close(s);
}
inline void CloseBlob(Firebird::IBlob* b, Firebird::ThrowStatusWrapper* s) {
    b->close(s);
}

using Attachment = Owned<Firebird::IAttachment, DetachAttachment>;
// A transaction that is rolled back unless committed.
using Transaction = Owned<Firebird::ITransaction, RollbackTransaction>;
using Statement = Owned<Firebird::IStatement, FreeStatement>;
using ResultSet = Owned<Firebird::IResultSet, CloseResultSet>;
using Blob = Owned<Firebird::IBlob, CloseBlob>;

// Commits `tra`; on success the owner is empty, on failure the transaction stays
// owned (still active, to be rolled back) and the error propagates.
inline void Commit(Transaction& tra, Firebird::ThrowStatusWrapper* status) {
    tra->commit(status);
    tra.release();
}

// The parameter buffer of a connect or create: user, password, dialect 3,
// connection character set UNICODE_FSS, file name in UTF-8.
class Xpb {
  public:
    explicit Xpb(unsigned kind);
    ~Xpb();
    Xpb(const Xpb&) = delete;
    Xpb& operator=(const Xpb&) = delete;
    Firebird::IXpbBuilder* operator->() const { return builder_; }
    unsigned Length();
    const unsigned char* Buffer();

  private:
    Status status_;
    Firebird::IXpbBuilder* builder_;
};

void AddConnectParameters(Xpb& dpb);
// Pages of the engine's page cache for a database file of `fileBytes` (pages of
// 8 KB): the whole file with a quarter to spare, so that a statement that reads
// the year's rows again (the save's delete after its checks) finds them in
// memory instead of on the disk; never below the engine's own default (2,048), and
// at most 16,384 (128 MB), so that a very large file cannot take the memory.
int CachePagesFor(qint64 fileBytes);
// Settings for a database this process opens with its own engine (a plain path)
// from a file of `fileBytes`.
void AddEmbeddedEngineParameters(Xpb& dpb, qint64 fileBytes);
// True for a plain file path, false for "host:path" and "host/port:path".
bool IsEmbeddedDatabase(const QByteArray& database);
// True for the error codes of a server that cannot be reached or stopped answering.
bool IsNetworkFailure(int code);
// Whether `code` says an attachment that was working is gone: killed by the
// server's administrator, the server shut down or the network lost.
bool IsLostAttachment(int code);
// Read committed (record version), no waiting on locks, read-write; or, for a
// snapshot, read-only and seeing the database as it was when it started.
void AddTransactionParameters(Xpb& tpb, bool snapshot = false);

}  // namespace db::fb
