#pragma once
// Running a group of statements as one transaction on the program's connection.

#include "db/Connection.h"

namespace db {

// Runs `body` in the connection's explicit transaction: the one already active
// (the caller's to end), or one of its own, committed at the end and rolled back
// when `body` throws.
template <class F>
void InOneTransaction(Connection& connection, F&& body) {
    if (connection.InTransaction()) {
        body();
        return;
    }
    connection.StartTransaction();
    try {
        body();
        connection.Commit();
    } catch (...) {
        if (connection.InTransaction())
            connection.Rollback();
        throw;
    }
}

}  // namespace db
