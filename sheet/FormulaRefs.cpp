#include "sheet/FormulaRefs.h"

#include "sheet/CellRef.h"

#include <QStringList>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace sheet {
namespace {

enum class Shape { Cell, Area, Columns, Rows };

struct RefEnd {
    int col = 0;
    int row = 0;
    bool colAbs = false;
    bool rowAbs = false;
};

// One reference token: an optional sheet qualifier and one or two ends.
struct Ref {
    QString prefix;  // qualifier text as written, with its "!"; empty when none
    QString sheet;   // the qualifier's sheet name, unquoted
    Shape shape = Shape::Cell;
    RefEnd first;
    RefEnd last;  // same as first for a single cell
    bool broken = false;
};

struct Token {
    QString text;            // verbatim text when not a reference
    std::optional<Ref> ref;  // a reference to rewrite
};

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'\\' || c == u'$';
}
bool IsAsciiLetter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

QChar At(QStringView s, qsizetype i) {
    return i < s.size() ? s[i] : QChar();
}

// "$AB" -> column; returns the end position or -1.
qsizetype ReadColumn(QStringView s, qsizetype i, RefEnd& end) {
    end.colAbs = At(s, i) == u'$';
    if (end.colAbs)
        ++i;
    const qsizetype from = i;
    while (IsAsciiLetter(At(s, i)))
        ++i;
    end.col = ColumnNumber(s.mid(from, i - from));
    return end.col == 0 ? -1 : i;
}

// "$12" -> row; returns the end position or -1.
qsizetype ReadRow(QStringView s, qsizetype i, RefEnd& end) {
    end.rowAbs = At(s, i) == u'$';
    if (end.rowAbs)
        ++i;
    const qsizetype from = i;
    while (IsDigit(At(s, i)))
        ++i;
    if (i == from || i - from > 7)
        return -1;
    end.row = s.mid(from, i - from).toInt();
    return end.row >= 1 && end.row <= kMaxRow ? i : -1;
}

qsizetype ReadCell(QStringView s, qsizetype i, RefEnd& end) {
    const qsizetype j = ReadColumn(s, i, end);
    return j < 0 ? -1 : ReadRow(s, j, end);
}

// A reference must not run on into a name, a function call or a qualifier.
bool EndsToken(QStringView s, qsizetype i) {
    const QChar c = At(s, i);
    return !(IsWordChar(c) || c == u'(' || c == u'!' || c == u'[' || c == u'\'');
}

// Reads a reference starting at i: A1, A1:B2, A:B or 1:2 with $ markers.
std::optional<std::pair<Ref, qsizetype>> ReadRef(QStringView s, qsizetype i) {
    Ref ref;
    qsizetype j = ReadCell(s, i, ref.first);
    if (j >= 0) {
        ref.last = ref.first;
        if (At(s, j) == u':') {
            RefEnd second;
            const qsizetype k = ReadCell(s, j + 1, second);
            if (k >= 0 && EndsToken(s, k)) {
                ref.shape = Shape::Area;
                ref.last = second;
                return std::pair{ref, k};
            }
        }
        if (EndsToken(s, j))
            return std::pair{ref, j};
        return std::nullopt;
    }
    j = ReadColumn(s, i, ref.first);
    if (j >= 0 && At(s, j) == u':') {
        const qsizetype k = ReadColumn(s, j + 1, ref.last);
        if (k >= 0 && EndsToken(s, k)) {
            ref.shape = Shape::Columns;
            return std::pair{ref, k};
        }
    }
    ref = Ref{};
    j = ReadRow(s, i, ref.first);
    if (j >= 0 && At(s, j) == u':') {
        const qsizetype k = ReadRow(s, j + 1, ref.last);
        if (k >= 0 && EndsToken(s, k)) {
            ref.shape = Shape::Rows;
            return std::pair{ref, k};
        }
    }
    return std::nullopt;
}

// Position after a quoted text starting at i (quote doubled inside).
qsizetype SkipQuoted(QStringView s, qsizetype i, QChar quote) {
    ++i;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (At(s, i + 1) == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

qsizetype SkipBrackets(QStringView s, qsizetype i) {
    int depth = 0;
    while (i < s.size()) {
        if (s[i] == u'[')
            ++depth;
        if (s[i] == u']' && --depth == 0)
            return i + 1;
        ++i;
    }
    return i;
}

qsizetype SkipWord(QStringView s, qsizetype i) {
    while (i < s.size() && IsWordChar(s[i]))
        ++i;
    return i;
}

qsizetype SkipNumber(QStringView s, qsizetype i) {
    while (IsDigit(At(s, i)) || At(s, i) == u'.')
        ++i;
    if ((At(s, i) == u'e' || At(s, i) == u'E') &&
        (IsDigit(At(s, i + 1)) ||
         ((At(s, i + 1) == u'+' || At(s, i + 1) == u'-') && IsDigit(At(s, i + 2))))) {
        i += 2;
        while (IsDigit(At(s, i)))
            ++i;
    }
    return i;
}

std::vector<Token> Tokenize(QStringView s) {
    std::vector<Token> tokens;
    auto other = [&](qsizetype from, qsizetype to) {
        if (to <= from)
            return;
        if (!tokens.empty() && !tokens.back().ref) {
            tokens.back().text += s.mid(from, to - from);
        } else {
            tokens.push_back({s.mid(from, to - from).toString(), std::nullopt});
        }
    };
    // A qualifier ends at `bang` ("!"); the reference after it, when there is one, becomes a token.
    auto qualified = [&](qsizetype from, qsizetype bang, const QString& sheetName) -> qsizetype {
        if (auto ref = ReadRef(s, bang + 1)) {
            ref->first.prefix = s.mid(from, bang + 1 - from).toString();
            ref->first.sheet = sheetName;
            tokens.push_back({QString(), ref->first});
            return ref->second;
        }
        other(from, bang + 1);
        return bang + 1;
    };
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == u'"') {
            const qsizetype j = SkipQuoted(s, i, u'"');
            other(i, j);
            i = j;
        } else if (c == u'\'') {
            const qsizetype j = SkipQuoted(s, i, u'\'');
            QString name = s.mid(i + 1, j - i - 2).toString();
            name.replace(QStringLiteral("''"), QStringLiteral("'"));
            const bool external = name.startsWith(u'[') || name.contains(u':');
            if (At(s, j) == u'!' && !external) {
                i = qualified(i, j, name);
            } else if (At(s, j) == u'!') {
                // Another workbook or a range of sheets: left exactly as it is.
                qsizetype k = j + 1;
                if (auto ref = ReadRef(s, k))
                    k = ref->second;
                other(i, k);
                i = k;
            } else {
                other(i, j);
                i = j;
            }
        } else if (c == u'[') {
            // Another workbook ([1]Sheet1!A1) or a structured reference: untouched.
            qsizetype j = SkipBrackets(s, i);
            const qsizetype w = SkipWord(s, j);
            if (At(s, w) == u'!') {
                j = w + 1;
                if (auto ref = ReadRef(s, j))
                    j = ref->second;
            }
            other(i, j);
            i = j;
        } else if (c == u'#') {
            qsizetype j = i + 1;
            while (j < s.size() && (IsAsciiLetter(s[j]) || IsDigit(s[j]) || s[j] == u'/' || s[j] == u'_'))
                ++j;
            if (At(s, j) == u'!' || At(s, j) == u'?')
                ++j;
            other(i, j);
            i = j;
        } else if (IsDigit(c) || c == u'.' || (c == u'$' && IsDigit(At(s, i + 1)))) {
            if (auto ref = ReadRef(s, i); ref && ref->first.shape == Shape::Rows) {
                tokens.push_back({QString(), ref->first});
                i = ref->second;
            } else {
                const qsizetype j = c == u'$' ? i + 1 : SkipNumber(s, i);
                other(i, j);
                i = j;
            }
        } else if (IsWordChar(c)) {
            const qsizetype j = SkipWord(s, i);
            if (At(s, j) == u'!') {
                i = qualified(i, j, s.mid(i, j - i).toString());
            } else if (At(s, j) == u':' && At(s, SkipWord(s, j + 1)) == u'!' && SkipWord(s, j + 1) > j + 1) {
                // Sheet1:Sheet3!A1 spans sheets: untouched.
                qsizetype k = SkipWord(s, j + 1) + 1;
                if (auto ref = ReadRef(s, k))
                    k = ref->second;
                other(i, k);
                i = k;
            } else if (auto ref = ReadRef(s, i)) {
                tokens.push_back({QString(), ref->first});
                i = ref->second;
            } else {
                other(i, j);
                i = j;
            }
        } else {
            other(i, i + 1);
            ++i;
        }
    }
    return tokens;
}

QString EndText(const RefEnd& end, Shape shape) {
    QString text;
    if (shape != Shape::Rows) {
        if (end.colAbs)
            text += u'$';
        text += ColumnName(end.col);
    }
    if (shape != Shape::Columns) {
        if (end.rowAbs)
            text += u'$';
        text += QString::number(end.row);
    }
    return text;
}

QString RefText(const Ref& ref) {
    if (ref.broken)
        return ref.prefix + QStringLiteral("#REF!");
    QString text = ref.prefix + EndText(ref.first, ref.shape);
    if (ref.shape != Shape::Cell)
        text += u':' + EndText(ref.last, ref.shape);
    return text;
}

QString Rewrite(const QString& formula, const std::function<void(Ref&)>& change) {
    QString out;
    out.reserve(formula.size() + 8);
    for (Token& token : Tokenize(formula)) {
        if (token.ref) {
            change(*token.ref);
            out += RefText(*token.ref);
        } else {
            out += token.text;
        }
    }
    return out;
}

int ShiftRow(int r, int row, int count) {
    return r >= row ? r + count : r;
}

// Applies the insertion rule to the rows of a reference; false when it leaves the sheet.
bool ShiftRef(Ref& ref, int row, int count) {
    if (ref.shape == Shape::Columns)
        return true;
    ref.first.row = ShiftRow(ref.first.row, row, count);
    ref.last.row = ShiftRow(ref.last.row, row, count);
    if (ref.first.row > kMaxRow)
        return false;
    if (ref.last.row > kMaxRow) {
        if (ref.shape == Shape::Cell)
            return false;
        ref.last.row = kMaxRow;
    }
    return true;
}

bool MoveEnd(RefEnd& end, Shape shape, int rowDelta, int colDelta) {
    if (shape != Shape::Columns && !end.rowAbs)
        end.row += rowDelta;
    if (shape != Shape::Rows && !end.colAbs)
        end.col += colDelta;
    const bool rowOk = shape == Shape::Columns || (end.row >= 1 && end.row <= kMaxRow);
    const bool colOk = shape == Shape::Rows || (end.col >= 1 && end.col <= kMaxColumn);
    return rowOk && colOk;
}

}  // namespace

QString ShiftFormulaForRowInsert(const QString& formula, const QString& hostSheet,
                                 const QString& changedSheet, int row, int count) {
    return Rewrite(formula, [&](Ref& ref) {
        const QString& target = ref.prefix.isEmpty() ? hostSheet : ref.sheet;
        if (target.isEmpty() || target.compare(changedSheet, Qt::CaseInsensitive) != 0)
            return;
        if (!ShiftRef(ref, row, count))
            ref.broken = true;
    });
}

QString MoveFormula(const QString& formula, int rowDelta, int colDelta) {
    if (rowDelta == 0 && colDelta == 0)
        return formula;
    return Rewrite(formula, [&](Ref& ref) {
        const bool firstOk = MoveEnd(ref.first, ref.shape, rowDelta, colDelta);
        const bool lastOk = ref.shape == Shape::Cell || MoveEnd(ref.last, ref.shape, rowDelta, colDelta);
        if (ref.shape == Shape::Cell)
            ref.last = ref.first;
        if (!firstOk || !lastOk)
            ref.broken = true;
    });
}

QString RenameSheetInFormula(const QString& formula, const QString& oldName, const QString& newName) {
    return Rewrite(formula, [&](Ref& ref) {
        if (!ref.prefix.isEmpty() && ref.sheet.compare(oldName, Qt::CaseInsensitive) == 0) {
            ref.sheet = newName;
            ref.prefix = QuoteSheetName(newName) + u'!';
        }
    });
}

QString ShiftSqrefForRowInsert(const QString& sqref, int row, int count) {
    QStringList kept;
    for (const QString& part : sqref.split(u' ', Qt::SkipEmptyParts)) {
        auto area = ParseArea(part);
        if (!area) {
            kept << part;
            continue;
        }
        Ref ref;
        ref.shape = Shape::Area;
        ref.first = {area->col1, area->row1, false, false};
        ref.last = {area->col2, area->row2, false, false};
        if (!ShiftRef(ref, row, count))
            continue;
        kept << AreaAddress({ref.first.row, ref.first.col, ref.last.row, ref.last.col});
    }
    return kept.join(u' ');
}

QString QuoteSheetName(const QString& name) {
    bool plain = !name.isEmpty() && !IsDigit(name[0]) && name[0] != u'.';
    for (QChar c : name) {
        if (!(IsAsciiLetter(c) || IsDigit(c) || c == u'_' || c == u'.'))
            plain = false;
    }
    // A name that reads as a reference (A1, R1C1, TRUE) is quoted as well.
    if (plain &&
        (ReadRef(name, 0) || ColumnNumber(name) != 0 || name.compare(u"TRUE", Qt::CaseInsensitive) == 0 ||
         name.compare(u"FALSE", Qt::CaseInsensitive) == 0 || name.startsWith(u'R', Qt::CaseInsensitive) ||
         name.startsWith(u'C', Qt::CaseInsensitive))) {
        plain = false;
    }
    if (plain)
        return name;
    QString quoted = name;
    quoted.replace(QStringLiteral("'"), QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

void AppendXmlText(std::string& out, QStringView text) {
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "_x%04X_", unsigned(c));
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
}

FormulaPattern::FormulaPattern(const QString& formula) {
    auto endOf = [](const RefEnd& e, Shape shape) {
        End end;
        if (shape != Shape::Rows) {
            end.col = (e.colAbs ? "$" : "") + ColumnName(e.col).toStdString();
            end.colNumber = e.col;
            end.colAbs = e.colAbs;
        }
        if (shape != Shape::Columns) {
            end.row = e.row;
            end.rowAbs = e.rowAbs;
        }
        return end;
    };
    for (const Token& token : Tokenize(formula)) {
        Piece piece;
        if (!token.ref) {
            AppendXmlText(piece.text, token.text);
            pieces_.push_back(std::move(piece));
            continue;
        }
        const Ref& ref = *token.ref;
        piece.isRef = true;
        AppendXmlText(piece.text, ref.prefix);
        piece.sheet = ref.prefix.isEmpty() ? QString() : ref.sheet;
        piece.first = endOf(ref.first, ref.shape);
        piece.last = endOf(ref.last, ref.shape);
        piece.area = ref.shape != Shape::Cell;
        pieces_.push_back(std::move(piece));
    }
}

void FormulaPattern::AppendMoved(std::string& out, int rowDelta) const {
    auto moved = [rowDelta](const End& end) {
        return end.row == 0 || end.rowAbs ? end.row : end.row + rowDelta;
    };
    auto appendEnd = [&](const End& end, int row) {
        out += end.col;
        if (end.row != 0) {
            if (end.rowAbs)
                out += '$';
            out += std::to_string(row);
        }
    };
    for (const Piece& piece : pieces_) {
        out += piece.text;
        if (!piece.isRef)
            continue;
        const int first = moved(piece.first);
        const int last = moved(piece.last);
        const bool inside = (piece.first.row == 0 || (first >= 1 && first <= kMaxRow)) &&
                            (piece.last.row == 0 || (last >= 1 && last <= kMaxRow));
        if (!inside) {
            out += "#REF!";
            continue;
        }
        appendEnd(piece.first, first);
        if (piece.area) {
            out += ':';
            appendEnd(piece.last, last);
        }
    }
}

void FormulaPattern::MergeReach(int maxDelta, std::map<QString, int>& lastRows) const {
    for (const Piece& piece : pieces_) {
        if (!piece.isRef)
            continue;
        int reach = 0;
        for (const End* end : {&piece.first, &piece.last}) {
            if (end->row != 0)
                reach = std::max(reach, end->rowAbs ? end->row : end->row + maxDelta);
        }
        if (reach == 0)
            continue;
        QString key;
        for (const auto& [name, row] : lastRows) {
            if (!piece.sheet.isEmpty() && name.compare(piece.sheet, Qt::CaseInsensitive) == 0)
                key = name;
        }
        if (key.isEmpty())
            key = piece.sheet;
        int& row = lastRows[key];
        row = std::max(row, std::min(reach, kMaxRow));
    }
}

}  // namespace sheet
