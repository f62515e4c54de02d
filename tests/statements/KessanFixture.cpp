#include "tests/statements/KessanFixture.h"

#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

KessanTest::KessanTest() {
    ExecuteAll(
        module.SQLConnection1,
        {
            u"insert into NENDO (NENDO, KISYUBI, KIMATSUBI, NENGO_KUBUN, YAKUSYOKU, DAIHYOSYA, KAIKEI1, "
            u"KANSA1, "
            u"KANSA2) values (2021, '20210401', '20220331', 0, '会長', '山田太郎', '田中', '佐藤', '鈴木')"_s,
            u"insert into KAIKEI_KUBUN (CD, MEISYO) values (2, '祭礼会計')"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (10, '会費', 1, 1, 1)"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (20, '事業費', 2, 1, 1)"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (40, '預り金', 1, 0, 1)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, TOKUBETSU_CD) values (1001, '会費', 10, 1, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, TOKUBETSU_CD) values (2001, '事業費', 20, 1, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, TOKUBETSU_CD) values (2002, '通信費', 20, 2, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, TOKUBETSU_CD) values (4001, '預り金', 40, 1, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, TOKUBETSU_CD) values (6002, '祭礼会計へ繰出', 60, 1, 2)"_s,
            u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 100, 70000)"_s,
            u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 1001, 300000)"_s,
            u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 2001, 200000)"_s,
            u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 6002, 50000)"_s,
            u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 8000, 120000)"_s,
            u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 2, 100, 10000)"_s,
            u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 2, 3000, 50000)"_s,
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU) "
            u"values (1, 0, 2021, '20210410', 1001, 320000, null)"_s,
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU) "
            u"values (2, 0, 2021, '20210420', 1001, null, 20000)"_s,
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU) "
            u"values (3, 0, 2021, '20211015', 2001, null, 150000)"_s,
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU) "
            u"values (4, 0, 2021, '20220110', 2002, null, 30000)"_s,
            // A transfer: the general account's half and the special account's.
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU) "
            u"values (5, 0, 2021, '20210901', 6002, null, 50000)"_s,
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU) "
            u"values (5, 2, 2021, '20210901', 3000, 50000, null)"_s,
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU) "
            u"values (6, 2, 2021, '20211020', 2001, null, 45000)"_s,
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU) "
            u"values (7, 0, 2021, '20210505', 4001, 9000, null)"_s,
        });
}

void KessanTest::Load(TStatementEntryForm& form, const QString& year) {
    TypeYear(form, year);
    form.NyuryokuBtn->setFocus(Qt::TabFocusReason);
    Settle();
}

std::map<int, qint64> ExpectSettlementMatchesJournal(db::Connection& c, const QString& jikoku, int nendo,
                                                     const QString& simebi) {
    // The reference: the journal lines of the statements' items, one group by.
    std::map<std::pair<int, int>, qint64> expected;
    std::map<int, qint64> balance;
    const auto journal = c.Select(
        u"select M.KAIKEI_KUBUN, M.KAMOKU, B.SYUSI_KUBUN, sum(coalesce(M.SYUNYU, 0)), "
        u"sum(coalesce(M.SISYUTSU, 0)) from MEISAI M join KAMOKU K on K.CD = M.KAMOKU "
        u"join BUNRUI B on B.CD = K.BUNRUI where M.NENDO = :N and B.KESSANSYO_KUBUN = 1 "_s +
            (simebi.isEmpty() ? QString() : u"and M.HIZUKE <= '%1' "_s.arg(simebi)) + u"group by 1, 2, 3"_s,
        {{u"N"_s, nendo}});
    for (const auto& r : journal.rows) {
        const int division = int(r[0].AsInteger());
        const qint64 net =
            r[2].AsInteger() == 1 ? r[3].AsInteger() - r[4].AsInteger() : r[4].AsInteger() - r[3].AsInteger();
        expected[{division, int(r[1].AsInteger())}] = net;
        balance[division] += r[2].AsInteger() == 1 ? net : -net;
    }
    for (const auto& r :
         c.Select(u"select KAIKEI_KUBUN, YOSAN from YOSAN where NENDO = :N and KAMOKU = 100"_s,
                  {{u"N"_s, nendo}})
             .rows) {
        const qint64 opening = r[1].IsNull() ? 0 : r[1].AsInteger();
        expected[{int(r[0].AsInteger()), 100}] = opening;
        balance[int(r[0].AsInteger())] += opening;
    }
    for (const auto& [division, amount] : balance)
        expected[{division, 8000}] = amount;

    // What the window holds: every line with an amount is expected, and no other.
    std::map<std::pair<int, int>, qint64> shown;
    for (const auto& r : c.Select(u"select KAIKEI_KUBUN, KAMOKU, KESSAN from W_KESSAN where JIKOKU = :J "
                                  u"and KESSAN is not null"_s,
                                  {{u"J"_s, jikoku}})
                             .rows)
        shown[{int(r[0].AsInteger()), int(r[1].AsInteger())}] = r[2].AsInteger();
    EXPECT_EQ(shown, expected);
    return balance;
}
