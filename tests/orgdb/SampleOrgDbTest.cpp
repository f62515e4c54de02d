// The built sample organisation against the rules its figures must obey: the journal's
// transfers and dates, the balanced budgets, the carry-over from 2025 into 2026, the
// 2026 comparison columns and the 2025 settlement lines.

#include "db/Connection.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kGeneral = 0;
constexpr int kCarryIn = 100;
constexpr int kFromGeneral = 3000;
constexpr int kToGeneral = 6000;
constexpr int kReserve = 7000;
constexpr int kCarryOut = 8000;

QString SampleOrgDbPath() {
    return QString::fromLocal8Bit(qgetenv("TSUBAKI_APP_DIR")) + u"/OrgDB/SampleDB/TSUBAKI.FDB"_s;
}

using Key = std::pair<int, int>;  // (division, item)

struct Item {
    int kind = 0;      // 1 receipts, 2 payments
    int division = 0;  // TOKUBETSU_CD
    bool aggregated = false;
    int first = 0;
    int last = 9999;
};

struct BudgetRow {
    std::optional<qint64> yosan, zennenYosan, zennenKessan;
};

struct Line {
    int seq, division, year;
    QString date, aite, tekiyo;
    int item;
    std::optional<qint64> receipt, payment;
};

std::optional<qint64> Optional(const db::Value& v) {
    return v.IsNull() ? std::nullopt : std::optional<qint64>(v.AsInteger());
}

// A copy of the built sample in a scratch folder, opened for the whole test.
class SampleOrgDb : public ::testing::Test {
  protected:
    SampleOrgDb() : path_(folder_.File(u"TSUBAKI.FDB"_s)), connection_([this] { return path_; }) {}

    void SetUp() override {
        ASSERT_TRUE(QFile::copy(SampleOrgDbPath(), path_)) << SampleOrgDbPath().toStdString();
        QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        use_.emplace(connection_.UseDataset());
    }
    void TearDown() override { use_.reset(); }

    db::Connection::Rows Select(const QString& sql) { return connection_.Select(sql); }

    std::map<int, Item> Items() {
        std::map<int, Item> items;
        for (const auto& r :
             Select(u"select K.CD, B.SYUSI_KUBUN, K.TOKUBETSU_CD, B.KESSANSYO_KUBUN, K.KAISI_NENDO, "
                    u"K.SYURYO_NENDO from KAMOKU K left join BUNRUI B on (B.CD = K.BUNRUI)"_s)
                 .rows) {
            items[int(r[0].AsInteger())] = {int(r[1].AsInteger()), int(r[2].AsInteger()),
                                            r[3].AsInteger() == 1, r[4].IsNull() ? 0 : int(r[4].AsInteger()),
                                            r[5].IsNull() ? 9999 : int(r[5].AsInteger())};
        }
        return items;
    }

    std::map<Key, BudgetRow> Budget(int year) {
        std::map<Key, BudgetRow> rows;
        for (const auto& r :
             Select(QStringLiteral("select KAIKEI_KUBUN, KAMOKU, YOSAN, ZENNEN_YOSAN, ZENNEN_KESSAN "
                                   "from YOSAN where NENDO = %1")
                        .arg(year))
                 .rows) {
            rows[{int(r[0].AsInteger()), int(r[1].AsInteger())}] = {Optional(r[2]), Optional(r[3]),
                                                                    Optional(r[4])};
        }
        return rows;
    }

    std::vector<Line> Journal() {
        std::vector<Line> lines;
        for (const auto& r :
             Select(u"select SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, "
                    u"SISYUTSU from MEISAI order by SEQ_NO, KAIKEI_KUBUN"_s)
                 .rows) {
            lines.push_back({int(r[0].AsInteger()), int(r[1].AsInteger()), int(r[2].AsInteger()),
                             r[3].AsString(), r[4].AsString(), r[5].AsString(), int(r[6].AsInteger()),
                             Optional(r[7]), Optional(r[8])});
        }
        return lines;
    }

    // Net of a year's journal per (division, item), signed as the settlement shows it:
    // receipts minus payments on receipts items, the other way round on payments items.
    std::map<Key, qint64> Settlement(int year) {
        const auto items = Items();
        std::map<Key, qint64> net;
        for (const Line& l : Journal()) {
            if (l.year != year)
                continue;
            const qint64 value = l.receipt.value_or(0) - l.payment.value_or(0);
            net[{l.division, l.item}] += items.at(l.item).kind == 1 ? value : -value;
        }
        return net;
    }

    // Receipts minus payments over one column of a division's budget, leaving out the
    // reserve fund (and, when asked, the carry-over to the next year).
    static qint64 Balance(const std::map<Key, BudgetRow>& budget, const std::map<int, Item>& items,
                          int division, std::optional<qint64> BudgetRow::*column, bool withCarryOut) {
        qint64 total = 0;
        for (const auto& [key, row] : budget) {
            if (key.first != division || key.second == kReserve || (!withCarryOut && key.second == kCarryOut))
                continue;
            const qint64 value = (row.*column).value_or(0);
            total += items.at(key.second).kind == 1 ? value : -value;
        }
        return total;
    }

  private:
    TempFolder folder_;
    QString path_;
    db::Connection connection_;
    std::optional<db::Connection::DatasetUse> use_;
};

TEST_F(SampleOrgDb, NamesTheOrganisationAndItsTwoYears) {
    const auto kanri =
        Select(u"select DANTAIMEI, PASS_WD, NENDO, DB_VERSION from KANRI where (KY = 1)"_s).rows;
    ASSERT_EQ(kanri.size(), 1u);
    EXPECT_EQ(kanri[0][0].AsString(), u"○○○○自治会"_s);
    EXPECT_EQ(kanri[0][1].AsString(), QString());
    EXPECT_EQ(kanri[0][2].AsInteger(), 2026);
    EXPECT_EQ(kanri[0][3].AsString(), u"1.0.4.0"_s);

    const auto years = Select(u"select NENDO, KISYUBI, KIMATSUBI from NENDO order by NENDO"_s).rows;
    ASSERT_EQ(years.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const int year = 2025 + i;
        EXPECT_EQ(years[i][0].AsInteger(), year);
        EXPECT_EQ(years[i][1].AsString(), QString::number(year) + u"0401"_s);
        EXPECT_EQ(years[i][2].AsString(), QString::number(year + 1) + u"0331"_s);
    }
}

TEST_F(SampleOrgDb, JournalLinesBelongToTheirYearDivisionAndItems) {
    const auto items = Items();
    std::map<int, std::pair<QString, QString>> days;
    for (const auto& r : Select(u"select NENDO, KISYUBI, KIMATSUBI from NENDO"_s).rows)
        days[int(r[0].AsInteger())] = {r[1].AsString(), r[2].AsString()};
    std::set<int> divisions;
    for (const auto& r : Select(u"select CD from KAIKEI_KUBUN"_s).rows)
        divisions.insert(int(r[0].AsInteger()));

    const auto lines = Journal();
    ASSERT_GT(lines.size(), 200u);
    for (const Line& l : lines) {
        SCOPED_TRACE(QStringLiteral("line %1 in division %2").arg(l.seq).arg(l.division).toStdString());
        ASSERT_TRUE(days.count(l.year));
        EXPECT_GE(l.date, days[l.year].first);
        EXPECT_LE(l.date, days[l.year].second);
        EXPECT_TRUE(divisions.count(l.division));
        EXPECT_NE(l.receipt.has_value(), l.payment.has_value()) << "a line is a receipt or a payment";
        EXPECT_GT(l.receipt.value_or(0) + l.payment.value_or(0), 0);
        ASSERT_TRUE(items.count(l.item));
        const Item& item = items.at(l.item);
        EXPECT_TRUE(item.aggregated);
        EXPECT_TRUE(item.first <= l.year && l.year <= item.last)
            << "item " << l.item << " is out of its years";
        EXPECT_NE(l.item, kCarryIn);
        EXPECT_NE(l.item, kCarryOut);
        if (l.division == kGeneral) {  // the special accounts' side of a transfer
            EXPECT_NE(l.item, kFromGeneral);
            EXPECT_NE(l.item, kToGeneral);
        }
    }
}

// A transfer is one line number in two divisions: the general account's half with the
// item that names the special account, and the special account's mirrored half with
// 3000 (money received from the general account) or 6000, amounts swapped.
TEST_F(SampleOrgDb, TransfersAreTwoMirroredHalvesOfOneLineNumber) {
    const auto items = Items();
    std::map<int, std::vector<Line>> bySeq;
    for (Line& l : Journal())
        bySeq[l.seq].push_back(std::move(l));

    int transfers = 0;
    for (const auto& [seq, halves] : bySeq) {
        SCOPED_TRACE(QStringLiteral("line %1").arg(seq).toStdString());
        const auto isTransfer = [&](const Line& l) {
            const int q = l.item / 100;
            return (l.division == kGeneral && items.at(l.item).division != 0) || q == 30 || q == 60;
        };
        if (halves.size() == 1) {
            EXPECT_FALSE(isTransfer(halves[0])) << "a transfer without its other half";
            continue;
        }
        ASSERT_EQ(halves.size(), 2u) << "a line number is taken by at most the two halves of a transfer";
        const Line& general = halves[0];  // ordered by division
        const Line& special = halves[1];
        ASSERT_EQ(general.division, kGeneral);
        const Item& item = items.at(general.item);
        ASSERT_NE(item.division, 0);
        EXPECT_EQ(special.division, item.division);
        EXPECT_EQ(special.item, item.kind == 1 ? kToGeneral : kFromGeneral);
        EXPECT_EQ(special.receipt, general.payment);
        EXPECT_EQ(special.payment, general.receipt);
        EXPECT_EQ(special.year, general.year);
        EXPECT_EQ(special.date, general.date);
        EXPECT_EQ(special.aite, general.aite);
        EXPECT_EQ(special.tekiyo, general.tekiyo);
        ++transfers;
    }
    EXPECT_GE(transfers, 2);
}

// The reserve fund takes up the rest of the receipts, so every budget balances; in the
// comparison columns the reserve fund and the settled carry-over follow the same rule.
TEST_F(SampleOrgDb, EveryBudgetBalances) {
    const auto items = Items();
    for (int year : {2025, 2026}) {
        const auto budget = Budget(year);
        for (int division : {0, 1}) {
            SCOPED_TRACE(QStringLiteral("%1 division %2").arg(year).arg(division).toStdString());
            ASSERT_TRUE(budget.count({division, kCarryIn}));
            ASSERT_TRUE(budget.count({division, kReserve}));
            ASSERT_TRUE(budget.count({division, kCarryOut}));
            qint64 receipts = 0, payments = 0;
            for (const auto& [key, row] : budget) {
                if (key.first == division)
                    (items.at(key.second).kind == 1 ? receipts : payments) += row.yosan.value_or(0);
            }
            EXPECT_EQ(receipts, payments);
            const BudgetRow& reserve = budget.at({division, kReserve});
            EXPECT_EQ(reserve.yosan.value_or(0), Balance(budget, items, division, &BudgetRow::yosan, true));
            EXPECT_EQ(reserve.zennenYosan.value_or(0),
                      Balance(budget, items, division, &BudgetRow::zennenYosan, true));
            EXPECT_EQ(budget.at({division, kCarryOut}).zennenKessan.value_or(0),
                      Balance(budget, items, division, &BudgetRow::zennenKessan, false));
        }
    }
}

// What 2025 ends with is what 2026 starts with: the carry-in budgeted for 2025 plus the
// 2025 journal's receipts minus its payments, per division.
TEST_F(SampleOrgDb, FinalBalanceOf2025IsTheCarryOverInto2026) {
    const auto budget2025 = Budget(2025);
    const auto budget2026 = Budget(2026);
    for (int division : {0, 1}) {
        SCOPED_TRACE(QStringLiteral("division %1").arg(division).toStdString());
        qint64 balance = budget2025.at({division, kCarryIn}).yosan.value_or(0);
        for (const Line& l : Journal()) {
            if (l.year == 2025 && l.division == division)
                balance += l.receipt.value_or(0) - l.payment.value_or(0);
        }
        EXPECT_EQ(budget2026.at({division, kCarryIn}).yosan, balance);
        EXPECT_EQ(budget2026.at({division, kCarryOut}).zennenKessan, balance);
    }
    EXPECT_EQ(Select(u"select count(*) from KURIKOSI"_s).rows[0][0].AsInteger(), 0)
        << "no items outside the statements, so the carry-over is the journal's balance";
}

// The 2026 comparison columns hold the 2025 budget and the 2025 settlement, as the
// import from the previous year fills them: non-zero figures only, the carry-in settled
// at its budget, the carry-out at the final balance.
TEST_F(SampleOrgDb, ComparisonColumnsOf2026ComeFrom2025) {
    const auto budget2025 = Budget(2025);
    const auto settled = Settlement(2025);
    std::map<Key, BudgetRow> expected;
    for (const auto& [key, row] : budget2025) {
        if (row.yosan.value_or(0) != 0)
            expected[key].zennenYosan = row.yosan;
    }
    for (const auto& [key, net] : settled) {
        if (net != 0)
            expected[key].zennenKessan = net;
    }
    for (int division : {0, 1})
        expected[{division, kCarryIn}].zennenKessan = budget2025.at({division, kCarryIn}).yosan;

    const auto budget2026 = Budget(2026);
    for (const auto& [key, want] : expected) {
        EXPECT_TRUE(budget2026.count(key))
            << "2026 lacks a row for division " << key.first << " item " << key.second;
    }
    for (const auto& [key, row] : budget2026) {
        SCOPED_TRACE(QStringLiteral("division %1 item %2").arg(key.first).arg(key.second).toStdString());
        const BudgetRow want = expected.count(key) ? expected.at(key) : BudgetRow{};
        EXPECT_EQ(row.zennenYosan, want.zennenYosan);
        if (key.second != kCarryOut) {  // the carry-out's figure is the final balance (test above)
            EXPECT_EQ(row.zennenKessan, want.zennenKessan);
        }
    }
}

// The saved 2025 settlement has a line for every budget line, every item of the journal
// and the carry-over to the next year, in each division.
TEST_F(SampleOrgDb, SettlementOf2025HasEveryBudgetAndJournalLine) {
    std::set<Key> expected;
    for (const auto& [key, row] : Budget(2025))
        expected.insert(key);
    for (const auto& [key, net] : Settlement(2025))
        expected.insert(key);
    for (const Key& key : std::set<Key>(expected))
        expected.insert({key.first, kCarryOut});

    std::set<Key> saved;
    for (const auto& r : Select(u"select KAIKEI_KUBUN, KAMOKU from KESSAN where NENDO = 2025"_s).rows)
        saved.insert({int(r[0].AsInteger()), int(r[1].AsInteger())});
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(Select(u"select count(*) from KESSAN where NENDO <> 2025"_s).rows[0][0].AsInteger(), 0);
}

// Firebird checks UNICODE_FSS lengths in bytes, three per character, so a text too long
// in characters would slip in; here every text is measured in characters.
TEST_F(SampleOrgDb, TextsFitTheirColumnsInCharacters) {
    const auto columns = Select(
        u"select trim(RF.RDB$RELATION_NAME), trim(RF.RDB$FIELD_NAME), F.RDB$CHARACTER_LENGTH "
        u"from RDB$RELATION_FIELDS RF "
        u"join RDB$RELATIONS R on R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
        u"join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
        u"where coalesce(R.RDB$SYSTEM_FLAG, 0) = 0 and F.RDB$FIELD_TYPE in (14, 37)"_s);
    ASSERT_FALSE(columns.rows.empty());
    for (const auto& c : columns.rows) {
        const QString table = c[0].AsString(), column = c[1].AsString();
        const qint64 length = c[2].AsInteger();
        for (const auto& r : Select(QStringLiteral("select %1 from %2").arg(column, table)).rows) {
            EXPECT_LE(r[0].AsString().size(), length) << table.toStdString() << '.' << column.toStdString()
                                                      << ": " << r[0].AsString().toStdString();
        }
    }
}

// Stored descriptions and counterparties are texts of the journal, each with a reading
// in full-width hiragana (full-width digits and letters allowed).
TEST_F(SampleOrgDb, StoredTextsComeFromTheJournalWithKanaReadings) {
    QSet<QString> tekiyo, aite;
    for (const Line& l : Journal()) {
        tekiyo.insert(l.tekiyo);
        aite.insert(l.aite);
    }
    const QRegularExpression reading(u"^[\u3041-\u3096\u30FC\uFF10-\uFF19\uFF21-\uFF3A]+$"_s);
    struct List {
        const char16_t* sql;
        const QSet<QString>* used;
    };
    for (const List& list : {List{u"select MEISYO, KENSAKU_MOJI from TEKIYO", &tekiyo},
                             List{u"select MEISYO, FURIGANA from AITE", &aite}}) {
        const auto rows = Select(QString::fromUtf16(list.sql)).rows;
        ASSERT_GE(rows.size(), 10u);
        for (const auto& r : rows) {
            SCOPED_TRACE(r[0].AsString().toStdString());
            EXPECT_TRUE(list.used->contains(r[0].AsString()));
            EXPECT_TRUE(reading.match(r[1].AsString()).hasMatch()) << r[1].AsString().toStdString();
        }
    }
}

}  // namespace
