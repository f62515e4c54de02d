// The dues ledger on the real engine: a collection saved with its journal lines in
// one step, every refusal leaving both untouched, receipts numbered once, and the
// ledger checked against the journal.

#include <gtest/gtest.h>

#include "core/Errors.h"
#include "db/Transaction.h"
#include "db/WorkKeys.h"
#include "db/YearClose.h"
#include "kaihi/KaihiStore.h"
#include "tests/support/QueryRows.h"
#include "tests/support/ScratchDatabase.h"
#include "tests/support/TempFolder.h"

#include <QFile>

#include <functional>
#include <map>

using namespace Qt::Literals::StringLiterals;

namespace {

QDate D(int y, int m, int d = 1) {
    return QDate(y, m, d);
}

const QString kWritten =
    u"select (select count(*) || '/' || coalesce(sum(SYUNYU), 0) from MEISAI) || ' ' || "
    u"(select count(*) || '/' || coalesce(sum(KINGAKU), 0) from KAIHI_NOUFU) from RDB$DATABASE"_s;

class KaihiStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db::InOneTransaction(connection, [&] {
            connection.Execute(
                u"insert into NENDO (NENDO, KI, KISYUBI, KIMATSUBI) values (2026, 5, '20260401', "
                u"'20270331')"_s);
            connection.Execute(
                u"insert into HAN (HAN_CD, MEISYO, HANCYO, JUNJYO) values (1, '1班', '山田 太郎', 1)"_s);
            connection.Execute(
                u"insert into HAN (HAN_CD, MEISYO, HANCYO, JUNJYO) values (2, '2班', '佐藤 花子', 2)"_s);
            for (const auto& [cd, name, han] :
                 {std::tuple{1, u"鈴木"_s, 1}, {2, u"田中"_s, 2}, {3, u"高橋"_s, 1}}) {
                connection.Execute(
                    u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (:CD, :MEISYO, "
                    u"'20200401')"_s,
                    {{u"CD"_s, cd}, {u"MEISYO"_s, name}});
                connection.Execute(
                    u"insert into SETAI_HAN (SETAI_CD, KAISI_BI, HAN_CD) values (:CD, '20200401', "
                    u":HAN)"_s,
                    {{u"CD"_s, cd}, {u"HAN"_s, han}});
            }
            for (const QString& sql :
                 {u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, JUNJYO) values (10, '会費', 1, 10)"_s,
                  u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, JUNJYO) values (40, '運営費', 2, 40)"_s,
                  u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO) values (1001, '一般会費', 10, 1)"_s,
                  u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO) values (1002, '特別会費', 10, 2)"_s,
                  u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO) values (4001, '総会費', 40, 1)"_s})
                connection.Execute(sql);
            connection.Execute(u"insert into KAIHI_SYURUI values (2026, 1, '一般会費', 1, 500, 0, 1001)"_s);
            connection.Execute(u"insert into KAIHI_SYURUI values (2026, 2, '特別会費', 0, 3000, 0, 1002)"_s);
        });
    }

    QString Written() { return connection.Select(kWritten).rows.at(0).at(0).AsString(); }

    ScratchDatabase scratch;
    db::Connection connection{scratch.Provider()};
    const std::vector<QDate> q1{D(2026, 4), D(2026, 5), D(2026, 6)};
    const std::vector<KaihiNoufu> collection{
        {1, 1, D(2026, 6, 30), q1, 1500, 1},
        {3, 1, D(2026, 6, 30), q1, 1500, 1},
        {3, 2, D(2026, 6, 30), {}, 3000, 1},
        {2, 1, D(2026, 6, 30), q1, 1500, 0},
    };
};

}  // namespace

TEST_F(KaihiStoreTest, ACollectionIsSavedWithTheJournalLinesItMakes) {
    const std::vector<int> seqNos = SaveCollection(connection, 2026, collection);
    ASSERT_EQ(seqNos.size(), 3u);
    const auto lines = connection.Select(
        u"select SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU from MEISAI "
        u"order by SEQ_NO"_s);
    ASSERT_EQ(lines.rows.size(), 3u);
    const struct {
        QString aite, tekiyo;
        int kamoku;
        qint64 syunyu;
    } expected[] = {{u"山田 太郎"_s, u"1班 4～6月分会費"_s, 1001, 3000},
                    {u"山田 太郎"_s, u"1班 特別会費"_s, 1002, 3000},
                    {u"田中"_s, u"田中 4～6月分会費"_s, 1001, 1500}};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& r = lines.rows[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(r[0].AsInteger(), seqNos[i]);
        EXPECT_EQ(r[2].AsInteger(), 2026);
        EXPECT_EQ(r[3].AsString(), u"20260630"_s);
        EXPECT_EQ(r[4].AsString(), expected[i].aite);
        EXPECT_EQ(r[5].AsString(), expected[i].tekiyo);
        EXPECT_EQ(r[6].AsInteger(), expected[i].kamoku);
        EXPECT_EQ(r[7].AsInteger(), expected[i].syunyu);
        EXPECT_TRUE(r[8].IsNull());
    }

    // The payments read back as saved, each tied to its line.
    const KaihiYear year = LoadKaihiYear(connection, 2026);
    ASSERT_EQ(year.noufu.size(), 4u);
    qint64 paid = 0;
    for (const KaihiNoufu& n : year.noufu)
        paid += n.kingaku;
    EXPECT_EQ(paid, 7500);
    EXPECT_EQ(year.noufu[0].months, q1);
    EXPECT_TRUE(KaihiJournalMismatches(connection, 2026).empty());

    // A later collection numbers its lines above the first's.
    const std::vector<int> later =
        SaveCollection(connection, 2026, {{1, 1, D(2026, 9, 30), {D(2026, 7)}, 500, 1}});
    EXPECT_GT(later.at(0), seqNos.back());

    // Lines changed or deleted in the journal are found.
    connection.Execute(u"update MEISAI set SYUNYU = 2500 where (SEQ_NO = :S)"_s, {{u"S"_s, seqNos[0]}});
    connection.Execute(u"delete from MEISAI where (SEQ_NO = :S)"_s, {{u"S"_s, seqNos[2]}});
    EXPECT_EQ(KaihiJournalMismatches(connection, 2026),
              (std::vector<KaihiMismatch>{{seqNos[0], 3000, 2500}, {seqNos[2], 1500, std::nullopt}}));
}

TEST_F(KaihiStoreTest, ARefusedCollectionWritesNothing) {
    const QString before = Written();
    const auto with = [&](std::function<void(KaihiNoufu&)> change) {
        std::vector<KaihiNoufu> c = collection;
        change(c.back());
        return c;
    };
    const struct {
        const char* name;
        std::vector<KaihiNoufu> collection;
        QString message;
    } cases[] = {
        {"a day before the year", with([](KaihiNoufu& n) { n.hizuke = D(2026, 3, 31); }),
         u"納付日が年度の範囲外です。"_s},
        {"a kind of no year", with([](KaihiNoufu& n) { n.syuruiCd = 9; }),
         u"この年度に登録されていない会費の種別です。"_s},
        {"an unknown household", with([](KaihiNoufu& n) { n.setaiCd = 99; }),
         u"登録されていない世帯です。"_s},
        {"an unknown 班", with([](KaihiNoufu& n) { n.viaHanCd = 7; }), u"登録されていない班です。"_s},
        {"nothing paid", with([](KaihiNoufu& n) { n.kingaku = 0; }),
         u"金額は1円以上、2,147,483,647円以下で入力してください。"_s},
        {"no month", with([](KaihiNoufu& n) { n.months.clear(); }),
         u"月額の会費は納付する月を選んでください。"_s},
        {"a month of the next year", with([](KaihiNoufu& n) { n.months.push_back(D(2027, 4)); }),
         u"納付する月が年度の範囲外です。"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            SaveCollection(connection, 2026, c.collection);
            ADD_FAILURE() << "saved";
        } catch (const EAppError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_EQ(Written(), before);
    }
}

TEST_F(KaihiStoreTest, ClosedYearsAndOpenJournalsRefuseTheSave) {
    const QString before = Written();
    {
        // A journal window holding the year: its save would replace the year's lines.
        db::WorkKeyClaim claim(connection, u"W_MEISAI"_s, 2026, u"KAIKEI-PC"_s, QDateTime::currentDateTime());
        try {
            SaveCollection(connection, 2026, collection);
            ADD_FAILURE() << "saved under an open journal";
        } catch (const EAppError& e) {
            EXPECT_TRUE(e.Message().startsWith(u"コンピュータ KAIKEI-PC の仕訳入力画面"_s))
                << e.Message().toStdString();
        }
        EXPECT_EQ(Written(), before);
    }
    db::SetYearClosed(connection, 2026, true, u"KAIKEI-PC"_s, u"会計"_s, u"監査済み"_s);
    EXPECT_THROW(SaveCollection(connection, 2026, collection), db::EYearClosed);
    EXPECT_EQ(Written(), before);
    db::SetYearClosed(connection, 2026, false, u"KAIKEI-PC"_s, u"会計"_s, u"訂正"_s);
    EXPECT_NO_THROW(SaveCollection(connection, 2026, collection));
}

TEST_F(KaihiStoreTest, ThisProgramsJournalLoadIsHandedTheLinesAndLostOnesAreMadeAgain) {
    const QString lines =
        u"select SEQ_NO, KAIKEI_KUBUN, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU from %1 order by 1"_s;
    const auto rows = [&](const QString& sql) { return RowsOf(connection, sql); };
    std::optional<db::WorkKeyClaim> ours;
    ours.emplace(connection, u"W_MEISAI"_s, 2026, u"KAIKEI-PC"_s, QDateTime::currentDateTime());
    const db::WorkKey key = ours->Key();

    // Another computer's journal holding the year still refuses, ours or not.
    {
        db::WorkKeyClaim theirs(connection, u"W_MEISAI"_s, 2026, u"SHOKI-PC"_s, QDateTime::currentDateTime());
        try {
            SaveCollection(connection, 2026, collection, key);
            ADD_FAILURE() << "saved under another journal";
        } catch (const EAppError& e) {
            EXPECT_TRUE(e.Message().startsWith(u"コンピュータ SHOKI-PC の仕訳入力画面"_s))
                << e.Message().toStdString();
        }
        EXPECT_EQ(Written(), u"0/0 0/0"_s);
    }

    // The lines go to our load's work rows, as unsaved lines; the payments are saved.
    const std::vector<int> seqNos = SaveCollection(connection, 2026, collection, key);
    ASSERT_EQ(seqNos.size(), 3u);
    EXPECT_EQ(Written(), u"0/0 4/7500"_s);
    const QStringList handed = rows(lines.arg(u"W_MEISAI"_s));
    EXPECT_EQ(handed.size(), 3);
    EXPECT_EQ(rows(u"select distinct MMDD, KOUSIN_FLAG from W_MEISAI"_s), QStringList{u"0630|2"_s});
    EXPECT_EQ(
        rows(u"select distinct SEQ_NO from KAIHI_NOUFU order by 1"_s),
        (QStringList{QString::number(seqNos[0]), QString::number(seqNos[1]), QString::number(seqNos[2])}));
    // Missing from the saved journal, not from the load that will save them.
    EXPECT_EQ(MissingJournalLines(connection, 2026), seqNos);
    EXPECT_EQ(MissingJournalLines(connection, 2026, key), std::vector<int>());
    EXPECT_EQ(RemakeJournalLines(connection, 2026, key), std::vector<int>());

    // The load given up: the payments stay, their lines are made again under the
    // same numbers, as they were handed over.
    ours.reset();
    EXPECT_THROW(SaveCollection(connection, 2026, collection, key), EAppError);  // no longer loaded
    EXPECT_EQ(KaihiJournalMismatches(connection, 2026).size(), 3u);
    EXPECT_EQ(RemakeJournalLines(connection, 2026), seqNos);
    EXPECT_EQ(rows(lines.arg(u"MEISAI"_s)), handed);
    EXPECT_TRUE(KaihiJournalMismatches(connection, 2026).empty());
    EXPECT_EQ(MissingJournalLines(connection, 2026), std::vector<int>());

    // Made again only where no journal window elsewhere holds the year.
    connection.Execute(u"delete from MEISAI where (SEQ_NO = :S)"_s, {{u"S"_s, seqNos[1]}});
    {
        db::WorkKeyClaim theirs(connection, u"W_MEISAI"_s, 2026, u"SHOKI-PC"_s, QDateTime::currentDateTime());
        EXPECT_THROW(RemakeJournalLines(connection, 2026), EAppError);
    }
    EXPECT_EQ(RemakeJournalLines(connection, 2026), std::vector<int>{seqNos[1]});
    EXPECT_EQ(rows(lines.arg(u"MEISAI"_s)), handed);
}

TEST_F(KaihiStoreTest, TheYearsKindsOfDuesAreKeptWhole) {
    SaveCollection(connection, 2026, {collection.front()});
    const auto kinds = [&] {
        return RowsOf(connection,
                      u"select SYURUI_CD, MEISYO, TSUKI_KUBUN, KINGAKU, KAMOKU from KAIHI_SYURUI "
                      u"order by 1"_s);
    };
    const QStringList before = kinds();
    // Only the receipt items outside the carry-over and transfers are offered.
    std::vector<int> offered;
    for (const KaihiKamoku& k : ReceiptItemsOf(connection, 2026))
        offered.push_back(k.kamoku);
    EXPECT_EQ(offered, (std::vector<int>{1001, 1002}));

    const KaihiSyurui ippan{1, u"一般会費"_s, true, 600, 0, 1001};
    const KaihiSyurui tokubetsu{2, u"特別会費"_s, false, 3000, 0, 1002};
    const struct {
        const char* fault;
        std::vector<KaihiSyurui> syurui;
        QString message;
    } refused[] = {
        {"a kind with payments dropped",
         {tokubetsu},
         u"「一般会費」には納付が記録されているため削除できません。"_s},
        {"no name", {ippan, {0, u" "_s, true, 100, 0, 1001}}, u"会費の種別の名称を入力してください。"_s},
        {"no amount",
         {ippan, {0, u"防災会費"_s, false, 0, 0, 1001}},
         u"「防災会費」の金額は1円以上で入力してください。"_s},
        {"a payment item",
         {ippan, {0, u"防災会費"_s, false, 100, 0, 4001}},
         u"「防災会費」の科目を選んでください。"_s},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.fault);
        try {
            SaveSyurui(connection, 2026, c.syurui);
            ADD_FAILURE() << "saved";
        } catch (const EAppError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_EQ(kinds(), before);
    }
    // A new kind takes the next code, an amount changes, a kind without payments goes.
    SaveSyurui(connection, 2026, {ippan, {0, u"防災会費"_s, false, 1000, 0, 1002}});
    EXPECT_EQ(kinds(), (QStringList{u"1|一般会費|1|600|1001"_s, u"3|防災会費|0|1000|1002"_s}));
}

TEST_F(KaihiStoreTest, AReceiptNumberIsNeverGivenTwice) {
    SaveCollection(connection, 2026, collection);
    const std::vector<int> noufuNos = LoadKaihiYear(connection, 2026).noufuNos;
    const std::vector<int> first = GiveReceiptNumbers(connection, {noufuNos[0], noufuNos[1]});
    EXPECT_EQ(first[1], first[0] + 1);
    // Asked again, a payment keeps its number.
    EXPECT_EQ(GiveReceiptNumbers(connection, {noufuNos[1], noufuNos[0]}),
              (std::vector<int>{first[1], first[0]}));
    // The newest receipt's payment deleted: its number is not given again.
    connection.Execute(u"delete from KAIHI_NOUFU where (NOUFU_NO = :N)"_s, {{u"N"_s, noufuNos[1]}});
    EXPECT_EQ(GiveReceiptNumbers(connection, {noufuNos[2]}).at(0), first[1] + 1);
    EXPECT_THROW(GiveReceiptNumbers(connection, {noufuNos[1]}), EAppError);
}

// The sample organisation's ledger: its payments are what its journal's dues lines
// booked, and what is still owed on 11 December 2026 is the months not yet collected
// (January to March, and December in 5班 and 6班, whose December dues come after the
// 9th; an exempted household owes none) and the festival dues of the two households
// that moved into the new flats after the festival.
TEST(KaihiSample, TheUnpaidListOfTheSampleOrganisation) {
    const TempFolder folder;
    const QString path = CopyOfSampleDatabase(folder);
    db::Connection c([&] { return path; });
    EXPECT_TRUE(KaihiJournalMismatches(c, 2026).empty());
    const KaihiMeibo meibo = LoadMeibo(c);
    const KaihiYear year = LoadKaihiYear(c, 2026);
    // Everything owed by the end of the year.
    std::map<int, qint64> owedByKind;
    std::map<std::size_t, int> householdsByUnpaidMonths;
    for (const KaihiMinouLine& line : MinouLines(meibo, year, QDate(2027, 3, 31))) {
        owedByKind[line.syuruiCd] += line.kingaku;
        if (line.syuruiCd == 1)
            ++householdsByUnpaidMonths[line.months.size()];
    }
    // 121 households belong in 2026 (one left in 2025), one exempted from January;
    // 5班 and 6班 have 23 and 19.
    EXPECT_EQ(owedByKind[1], (78 * 3 + 42 * 4) * 300);
    EXPECT_EQ(owedByKind[2], 2 * 500);
    EXPECT_EQ(householdsByUnpaidMonths, (std::map<std::size_t, int>{{3, 78}, {4, 42}}));
    // Households of each 班 on the first of December, as the journal's dues count them.
    const int expected[] = {18, 23, 22, 16, 23, 19};
    for (int han = 1; han <= 6; ++han)
        EXPECT_EQ(SetaiCountOn(meibo.setai, han, QDate(2026, 12, 1)), expected[han - 1]) << han;
    c.Close();
}
