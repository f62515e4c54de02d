#pragma once
// The textual filter expressions of datasets and views:
//   (SYUSI_KUBUN = 2) and (KAMOKU <> 7000)      (FURIGANA like 'か%')
// and, or, not, parentheses, = <> < <= > >=, like with % (any run) and _ (one
// character), is [not] null, integer and quoted text literals ('' is a quote),
// field names. Keywords ignore letter case; comparisons of texts do not.
//
// NULL: a comparison with a NULL field is false, whatever the operator (so
// "KAMOKU <> 7000" does not pass a row whose KAMOKU is NULL); "is null" finds it.

#include "db/Value.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace data {

class FilterExpression {
  public:
    // Throws EAppError when the text is not a well-formed expression. An empty or
    // blank text gives the expression that passes every row.
    static FilterExpression Parse(const QString& text);

    FilterExpression();
    ~FilterExpression();
    FilterExpression(FilterExpression&&) noexcept;
    FilterExpression& operator=(FilterExpression&&) noexcept;

    bool IsEmpty() const;
    // The field names the expression reads, each once, in order of appearance.
    const QStringList& FieldNames() const { return fieldNames_; }
    // `field(i)` gives the value of FieldNames()[i] for the row being tested.
    bool Evaluate(const std::function<db::Value(int)>& field) const;

    struct Node;

  private:
    std::unique_ptr<Node> root_;
    QStringList fieldNames_;
};

// Whether `text` matches a like-pattern (% any run, _ one character), case-sensitive.
bool MatchesLike(const QString& text, const QString& pattern);

// Compares two values as the filters do; nullopt when either is NULL.
std::optional<int> CompareForFilter(const db::Value& a, const db::Value& b);

}  // namespace data
