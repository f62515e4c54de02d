#include "statements/ZandakaUchiwake.h"

#include "core/JapaneseText.h"
#include "db/YearQueries.h"

using namespace Qt::Literals::StringLiterals;

namespace statements {

namespace {

qint64 IntegerOf(const db::Value& v) {
    return v.IsNull() ? 0 : v.AsInteger();
}

}  // namespace

qint64 BookBalance(db::Connection& connection, const ClosingKey& closing, int division) {
    const auto opening = connection.Select(db::OpeningBalanceSql(),
                                           {{u"Nendo"_s, closing.nendo}, {u"KAIKEI_KUBUN"_s, division}});
    const qint64 start = opening.rows.empty() ? 0 : IntegerOf(opening.rows.front()[0]);
    const auto lines = connection.Select(
        u"select cast(sum(SYUNYU) as bigint), cast(sum(SISYUTSU) as bigint) from MEISAI "
        u"where (NENDO = :Nendo) and (KAIKEI_KUBUN = :KAIKEI_KUBUN) and "
        u"((cast(:Simebi as varchar(8)) = '') or (HIZUKE <= :Simebi))"_s,
        {{u"Nendo"_s, closing.nendo}, {u"KAIKEI_KUBUN"_s, division}, {u"Simebi"_s, closing.simebi}});
    const auto& sums = lines.rows.front();
    return start + IntegerOf(sums[0]) - IntegerOf(sums[1]);
}

std::map<int, std::vector<Place>> SavedPlaces(db::Connection& connection, const ClosingKey& closing) {
    std::map<int, std::vector<Place>> places;
    const auto rows = connection.Select(
        u"select KAIKEI_KUBUN, BASYO, KINGAKU from ZANDAKA_UCHIWAKE where (NENDO = :Nendo) and (SIMEBI = "
        u":Simebi) order by KAIKEI_KUBUN, JUNJYO"_s,
        {{u"Nendo"_s, closing.nendo}, {u"Simebi"_s, closing.simebi}});
    for (const auto& r : rows.rows) {
        Place place{r[1].IsNull() ? QString() : r[1].AsString(), std::nullopt};
        if (!r[2].IsNull())
            place.amount = r[2].AsInteger();
        places[static_cast<int>(r[0].AsInteger())].push_back(place);
    }
    return places;
}

std::vector<ClosingKey> ClosingsWithPlaces(db::Connection& connection, int nendo) {
    std::vector<ClosingKey> closings;
    const auto rows =
        connection.Select(u"select distinct NENDO, SIMEBI from ZANDAKA_UCHIWAKE where (NENDO <= :Nendo)"_s,
                          {{u"Nendo"_s, nendo}});
    for (const auto& r : rows.rows)
        closings.push_back({static_cast<int>(r[0].AsInteger()), r[1].AsString()});
    return closings;
}

std::map<int, std::vector<Place>> PlacesForLoad(db::Connection& connection, const ClosingKey& closing,
                                                bool* offered) {
    if (offered)
        *offered = false;
    auto places = SavedPlaces(connection, closing);
    if (!places.empty())
        return places;
    const auto previous = PreviousClosing(ClosingsWithPlaces(connection, closing.nendo), closing);
    if (!previous)
        return places;
    places = SavedPlaces(connection, *previous);
    for (auto& [division, list] : places) {
        std::erase_if(list, [](const Place& p) { return TrimZen(p.name).isEmpty(); });
        for (Place& p : list)
            p.amount.reset();
    }
    std::erase_if(places, [](const auto& entry) { return entry.second.empty(); });
    if (offered)
        *offered = !places.empty();
    return places;
}

void ReplacePlaces(db::Connection& connection, const ClosingKey& closing,
                   const std::map<int, std::vector<Place>>& places) {
    const db::Connection::Params key{{u"Nendo"_s, closing.nendo}, {u"Simebi"_s, closing.simebi}};
    connection.Execute(u"delete from ZANDAKA_UCHIWAKE where (NENDO = :Nendo) and (SIMEBI = :Simebi)"_s, key);
    for (const auto& [division, list] : places) {
        int junjyo = 0;
        for (const Place& place : list) {
            if (!IsKeptPlace(place))
                continue;
            const QString name = TrimZen(place.name);
            connection.Execute(
                u"insert into ZANDAKA_UCHIWAKE (NENDO, SIMEBI, KAIKEI_KUBUN, JUNJYO, BASYO, KINGAKU) "
                u"values (:Nendo, :Simebi, :KAIKEI_KUBUN, :JUNJYO, :BASYO, :KINGAKU)"_s,
                {{u"Nendo"_s, closing.nendo},
                 {u"Simebi"_s, closing.simebi},
                 {u"KAIKEI_KUBUN"_s, division},
                 {u"JUNJYO"_s, ++junjyo},
                 {u"BASYO"_s, name.isEmpty() ? db::Value() : db::Value(name)},
                 {u"KINGAKU"_s, place.amount ? db::Value(*place.amount) : db::Value()}});
        }
    }
}

}  // namespace statements
