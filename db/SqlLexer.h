#pragma once
// Private to db/: finds the parts of an SQL text that are not SQL code.

#include <QString>

namespace db {

// When a string literal ('…' with '' inside), a quoted name ("…"), a line comment
// (-- …) or a block comment (/* … */) starts at `i`, the index just past it (the
// end of the text when it is not closed); otherwise `i` itself.
qsizetype SkipLiteralOrComment(const QString& sql, qsizetype i);

}  // namespace db
