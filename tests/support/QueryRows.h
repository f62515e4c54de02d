#pragma once
// What a test reads back from a database, as text to compare, and the seeding of a
// fixture's rows.

#include "db/Connection.h"

#include <QStringList>

// The rows of `sql`, each row's values joined by "|" (NULL as `nullText`).
QStringList RowsOf(db::Connection& connection, const QString& sql,
                   const QString& nullText = QStringLiteral("-"));

// Runs the statements in turn.
void ExecuteAll(db::Connection& connection, const QStringList& statements);
