#include "statements/ZandakaRules.h"

#include <tuple>

#include "core/JapaneseText.h"
#include "data/FieldFormat.h"

using namespace Qt::Literals::StringLiterals;

namespace statements {

namespace {

// The order of closings: a year-end sorts after every date of its year.
std::tuple<int, QString> OrderOf(const ClosingKey& key) {
    return {key.nendo, key.simebi.isEmpty() ? u"99999999"_s : key.simebi};
}

}  // namespace

std::optional<ClosingKey> PreviousClosing(const std::vector<ClosingKey>& saved, const ClosingKey& current) {
    std::optional<ClosingKey> best;
    for (const ClosingKey& key : saved) {
        if (OrderOf(key) >= OrderOf(current))
            continue;
        if (!best || OrderOf(key) > OrderOf(*best))
            best = key;
    }
    return best;
}

bool IsKeptPlace(const Place& place) {
    return !TrimZen(place.name).isEmpty() || place.amount.has_value();
}

ZandakaFigures Reconcile(qint64 book, const std::vector<Place>& places) {
    ZandakaFigures figures;
    figures.book = book;
    for (const Place& place : places) {
        if (!place.amount)
            continue;
        figures.places += *place.amount;
        figures.entered = true;
    }
    figures.difference = book - figures.places;
    return figures;
}

std::optional<BalanceBlock> MakeBalanceBlock(const std::vector<Place>& places, qint64 book,
                                             qint64 carryOver) {
    const ZandakaFigures figures = Reconcile(book, places);
    if (!figures.entered)
        return std::nullopt;
    BalanceBlock block;
    // A name without an amount (offered from the previous closing) tells nothing here.
    for (const Place& place : places)
        if (place.amount)
            block.places.push_back({TrimZen(place.name), place.amount});
    block.total = figures.places;
    block.outside = book - carryOver;
    block.unexplained = -figures.difference;
    block.carryOver = carryOver;
    return block;
}

QString DifferenceQuestion(const std::vector<DivisionDifference>& differences) {
    QString lines;
    for (const DivisionDifference& d : differences)
        if (d.difference != 0)
            lines += u"　"_s + d.division + u"　差額 "_s +
                     data::FormatNumber(d.difference, u"#,##0;-#,##0"_s) + u"\r\n"_s;
    if (lines.isEmpty())
        return {};
    return u"残高内訳の合計が帳簿残高と一致しない会計区分があります。\r\n"_s + lines +
           u"このまま保存しますか?"_s;
}

}  // namespace statements
