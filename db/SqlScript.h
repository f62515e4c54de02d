#pragma once
// SQL scripts: statements separated by ";".

#include <QString>

#include <vector>

namespace db {

// The statements of a script, without their ";" and surrounding blanks. A ";" in
// a string literal, quoted name or comment does not end a statement; pieces that
// hold nothing but blanks and comments are left out.
std::vector<QString> SplitSqlScript(const QString& script);

}  // namespace db
