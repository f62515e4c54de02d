#include "data/Filter.h"

#include "core/Errors.h"

#include <vector>

namespace data {

namespace {

enum class Op { Eq, Ne, Lt, Le, Gt, Ge, Like, IsNull, IsNotNull };

struct Operand {
    enum class Kind { Field, Literal } kind;
    int field = -1;
    db::Value literal;
};

}  // namespace

struct FilterExpression::Node {
    enum class Kind { And, Or, Not, Compare } kind;
    std::unique_ptr<Node> left;
    std::unique_ptr<Node> right;
    Op op = Op::Eq;
    Operand a{Operand::Kind::Literal, -1, {}};
    Operand b{Operand::Kind::Literal, -1, {}};
};

namespace {

using Node = FilterExpression::Node;

struct Token {
    enum class Kind { End, Name, Number, Text, LParen, RParen, Operator } kind;
    QString text;
};

[[noreturn]] void Fail(const QString& source) {
    throw EAppError(QStringLiteral("フィルタ式が正しくありません: ") + source);
}

bool IsNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool IsNamePart(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

std::vector<Token> Tokenize(const QString& s) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'(') {
            tokens.push_back({Token::Kind::LParen, {}});
            ++i;
        } else if (c == u')') {
            tokens.push_back({Token::Kind::RParen, {}});
            ++i;
        } else if (c == u'\'') {
            QString text;
            ++i;
            for (;;) {
                if (i >= n)
                    Fail(s);
                if (s[i] == u'\'') {
                    if (i + 1 < n && s[i + 1] == u'\'') {
                        text += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += s[i++];
            }
            tokens.push_back({Token::Kind::Text, text});
        } else if (c.isDigit() || (c == u'-' && i + 1 < n && s[i + 1].isDigit())) {
            const qsizetype start = i++;
            while (i < n && s[i].isDigit())
                ++i;
            tokens.push_back({Token::Kind::Number, s.mid(start, i - start)});
        } else if (c == u'[') {
            const qsizetype close = s.indexOf(u']', i);
            if (close < 0)
                Fail(s);
            tokens.push_back({Token::Kind::Name, s.mid(i + 1, close - i - 1)});
            i = close + 1;
        } else if (IsNameStart(c)) {
            const qsizetype start = i++;
            while (i < n && IsNamePart(s[i]))
                ++i;
            tokens.push_back({Token::Kind::Name, s.mid(start, i - start)});
        } else if (c == u'=') {
            tokens.push_back({Token::Kind::Operator, QStringLiteral("=")});
            ++i;
        } else if (c == u'<' || c == u'>') {
            QString op(c);
            ++i;
            if (i < n && (s[i] == u'=' || (c == u'<' && s[i] == u'>')))
                op += s[i++];
            tokens.push_back({Token::Kind::Operator, op});
        } else {
            Fail(s);
        }
    }
    tokens.push_back({Token::Kind::End, {}});
    return tokens;
}

class Parser {
  public:
    Parser(const QString& source, QStringList& names)
        : source_(source), tokens_(Tokenize(source)), names_(names) {}

    std::unique_ptr<Node> Parse() {
        auto node = ParseOr();
        if (Peek().kind != Token::Kind::End)
            Fail(source_);
        return node;
    }

  private:
    const Token& Peek() const { return tokens_[pos_]; }
    bool PeekKeyword(const char16_t* word) const {
        return Peek().kind == Token::Kind::Name &&
               Peek().text.compare(QStringView(word), Qt::CaseInsensitive) == 0;
    }

    std::unique_ptr<Node> Binary(Node::Kind kind, std::unique_ptr<Node> l, std::unique_ptr<Node> r) {
        auto node = std::make_unique<Node>();
        node->kind = kind;
        node->left = std::move(l);
        node->right = std::move(r);
        return node;
    }

    std::unique_ptr<Node> ParseOr() {
        auto node = ParseAnd();
        while (PeekKeyword(u"or")) {
            ++pos_;
            node = Binary(Node::Kind::Or, std::move(node), ParseAnd());
        }
        return node;
    }

    std::unique_ptr<Node> ParseAnd() {
        auto node = ParseNot();
        while (PeekKeyword(u"and")) {
            ++pos_;
            node = Binary(Node::Kind::And, std::move(node), ParseNot());
        }
        return node;
    }

    std::unique_ptr<Node> ParseNot() {
        if (PeekKeyword(u"not")) {
            ++pos_;
            return Binary(Node::Kind::Not, ParseNot(), nullptr);
        }
        if (Peek().kind == Token::Kind::LParen) {
            ++pos_;
            auto node = ParseOr();
            if (Peek().kind != Token::Kind::RParen)
                Fail(source_);
            ++pos_;
            return node;
        }
        return ParseComparison();
    }

    Operand ParseOperand() {
        const Token token = Peek();
        ++pos_;
        switch (token.kind) {
            case Token::Kind::Number: {
                bool ok = false;
                const qint64 v = token.text.toLongLong(&ok);
                if (!ok)
                    Fail(source_);
                return {Operand::Kind::Literal, -1, db::Value(v)};
            }
            case Token::Kind::Text:
                return {Operand::Kind::Literal, -1, db::Value(token.text)};
            case Token::Kind::Name: {
                if (IsReserved(token.text))
                    Fail(source_);
                qsizetype index = -1;
                for (qsizetype i = 0; i < names_.size(); ++i)
                    if (names_[i].compare(token.text, Qt::CaseInsensitive) == 0)
                        index = i;
                if (index < 0) {
                    names_.push_back(token.text);
                    index = names_.size() - 1;
                }
                return {Operand::Kind::Field, static_cast<int>(index), {}};
            }
            default:
                Fail(source_);
        }
    }

    static bool IsReserved(const QString& word) {
        for (const char16_t* k : {u"and", u"or", u"not", u"like", u"is", u"null"})
            if (word.compare(QStringView(k), Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }

    std::unique_ptr<Node> ParseComparison() {
        auto node = std::make_unique<Node>();
        node->kind = Node::Kind::Compare;
        node->a = ParseOperand();
        if (PeekKeyword(u"is")) {
            ++pos_;
            node->op = Op::IsNull;
            if (PeekKeyword(u"not")) {
                ++pos_;
                node->op = Op::IsNotNull;
            }
            if (!PeekKeyword(u"null"))
                Fail(source_);
            ++pos_;
            return node;
        }
        if (PeekKeyword(u"like")) {
            node->op = Op::Like;
        } else if (Peek().kind == Token::Kind::Operator) {
            const QString& t = Peek().text;
            node->op = t == u"="    ? Op::Eq
                       : t == u"<>" ? Op::Ne
                       : t == u"<"  ? Op::Lt
                       : t == u"<=" ? Op::Le
                       : t == u">"  ? Op::Gt
                                    : Op::Ge;
        } else {
            Fail(source_);
        }
        ++pos_;
        node->b = ParseOperand();
        return node;
    }

    const QString& source_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    QStringList& names_;
};

db::Value ValueOf(const Operand& o, const std::function<db::Value(int)>& field) {
    return o.kind == Operand::Kind::Field ? field(o.field) : o.literal;
}

bool EvaluateNode(const Node& node, const std::function<db::Value(int)>& field) {
    switch (node.kind) {
        case Node::Kind::And:
            return EvaluateNode(*node.left, field) && EvaluateNode(*node.right, field);
        case Node::Kind::Or:
            return EvaluateNode(*node.left, field) || EvaluateNode(*node.right, field);
        case Node::Kind::Not:
            return !EvaluateNode(*node.left, field);
        case Node::Kind::Compare:
            break;
    }
    const db::Value a = ValueOf(node.a, field);
    if (node.op == Op::IsNull)
        return a.IsNull();
    if (node.op == Op::IsNotNull)
        return !a.IsNull();
    const db::Value b = ValueOf(node.b, field);
    if (node.op == Op::Like) {
        if (a.IsNull() || b.IsNull())
            return false;
        return MatchesLike(a.AsString(), b.AsString());
    }
    const std::optional<int> c = CompareForFilter(a, b);
    if (!c)
        return false;
    switch (node.op) {
        case Op::Eq:
            return *c == 0;
        case Op::Ne:
            return *c != 0;
        case Op::Lt:
            return *c < 0;
        case Op::Le:
            return *c <= 0;
        case Op::Gt:
            return *c > 0;
        case Op::Ge:
            return *c >= 0;
        default:
            return false;
    }
}

bool IsNumber(const db::Value& v) {
    return v.IsInteger() || v.IsFloat();
}

// A text that reads as a number, for comparing it with a number.
std::optional<db::Value> AsNumber(const db::Value& text) {
    bool ok = false;
    const QString t = text.AsString().trimmed();
    const qint64 i = t.toLongLong(&ok);
    if (ok)
        return db::Value(i);
    const double d = t.toDouble(&ok);
    if (ok)
        return db::Value(d);
    return std::nullopt;
}

bool LikeAt(const QString& text, qsizetype ti, const QString& pattern, qsizetype pi) {
    while (pi < pattern.size()) {
        const QChar p = pattern[pi];
        if (p == u'%') {
            while (pi < pattern.size() && pattern[pi] == u'%')
                ++pi;
            if (pi == pattern.size())
                return true;
            for (qsizetype k = ti; k <= text.size(); ++k)
                if (LikeAt(text, k, pattern, pi))
                    return true;
            return false;
        }
        if (ti >= text.size())
            return false;
        if (p != u'_' && p != text[ti])
            return false;
        ++ti;
        ++pi;
    }
    return ti == text.size();
}

}  // namespace

FilterExpression::FilterExpression() = default;
FilterExpression::~FilterExpression() = default;
FilterExpression::FilterExpression(FilterExpression&&) noexcept = default;
FilterExpression& FilterExpression::operator=(FilterExpression&&) noexcept = default;

FilterExpression FilterExpression::Parse(const QString& text) {
    FilterExpression result;
    if (text.trimmed().isEmpty())
        return result;
    Parser parser(text, result.fieldNames_);
    result.root_ = parser.Parse();
    return result;
}

bool FilterExpression::IsEmpty() const {
    return !root_;
}

bool FilterExpression::Evaluate(const std::function<db::Value(int)>& field) const {
    return !root_ || EvaluateNode(*root_, field);
}

bool MatchesLike(const QString& text, const QString& pattern) {
    return LikeAt(text, 0, pattern, 0);
}

std::optional<int> CompareForFilter(const db::Value& a, const db::Value& b) {
    if (a.IsNull() || b.IsNull())
        return std::nullopt;
    if (IsNumber(a) && b.IsText()) {
        if (auto n = AsNumber(b))
            return db::Compare(a, *n);
        return db::Compare(db::Value(a.AsString()), b);
    }
    if (a.IsText() && IsNumber(b)) {
        if (auto n = AsNumber(a))
            return db::Compare(*n, b);
        return db::Compare(a, db::Value(b.AsString()));
    }
    return db::Compare(a, b);
}

}  // namespace data
