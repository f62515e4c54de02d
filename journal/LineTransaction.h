#pragma once
// The transaction of one journal line's posting or deletion (wTran): the work rows
// of the line are written inside it, and it is committed only once the line has
// been stored in (or removed from) the window's list. Anything that ends it
// otherwise — an error, the next posting, the window closing — rolls it back.

#include "db/Connection.h"

class TLineTransaction {
  public:
    explicit TLineTransaction(db::Connection& connection) : connection_(connection) {
        connection_.StartTransaction();
    }
    ~TLineTransaction() {
        if (!committed_ && connection_.InTransaction()) {
            try {
                connection_.Rollback();
            } catch (...) {  // a rollback that fails leaves nothing to undo here
            }
        }
    }
    TLineTransaction(const TLineTransaction&) = delete;
    TLineTransaction& operator=(const TLineTransaction&) = delete;

    void Commit() {
        connection_.Commit();
        committed_ = true;
    }

  private:
    db::Connection& connection_;
    bool committed_ = false;
};
