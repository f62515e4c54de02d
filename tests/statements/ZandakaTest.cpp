// 残高内訳: which earlier closing a new one starts from, the book balance the places
// are checked against (the journal window's balance, at the year-end and at interim
// closing dates), and the tab of the settlement windows: places kept per closing and
// division, the difference shown and asked about at 保存, offered to the next closing.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "journal/MeisaiNyuryokuUnit.h"
#include "statements/CyukanKessanNyuryokuUnit.h"
#include "statements/ZandakaRules.h"
#include "statements/ZandakaUchiwake.h"
#include "tests/statements/KessanFixture.h"
#include "ui/DBControls.h"

using namespace Qt::Literals::StringLiterals;

using statements::ClosingKey;
using statements::Place;

TEST(ZandakaRules, ANewClosingStartsFromTheLatestEarlierOne) {
    const std::vector<ClosingKey> saved = {
        {2020, u""_s}, {2020, u"20200930"_s}, {2021, u"20210930"_s}, {2021, u"20211231"_s}, {2022, u""_s}};
    const struct {
        ClosingKey current;
        std::optional<ClosingKey> previous;
    } cases[] = {
        {{2021, u""_s}, ClosingKey{2021, u"20211231"_s}},          // the year-end after its interims
        {{2021, u"20211231"_s}, ClosingKey{2021, u"20210930"_s}},  // itself is not earlier
        {{2021, u"20211130"_s}, ClosingKey{2021, u"20210930"_s}},
        {{2021, u"20210630"_s}, ClosingKey{2020, u""_s}},  // last year's year-end
        {{2020, u"20200930"_s}, std::nullopt},
        {{2023, u"20230930"_s}, ClosingKey{2022, u""_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current.simebi.toStdString() + " of " + std::to_string(c.current.nendo));
        EXPECT_EQ(statements::PreviousClosing(saved, c.current), c.previous);
    }
}

TEST(ZandakaRules, TheDifferenceIsTheBooksLessThePlaces) {
    const struct {
        const char* name;
        qint64 book;
        std::vector<Place> places;
        qint64 sum, difference;
        bool entered;
    } cases[] = {
        {"agreeing", 154000, {{u"現金"_s, 4000}, {u"○○銀行 本店 普通 1234567"_s, 150000}}, 154000, 0, true},
        {"short", 154000, {{u"現金"_s, 4000}}, 4000, 150000, true},
        {"names only are no answer", 154000, {{u"現金"_s, std::nullopt}}, 0, 154000, false},
        {"overdrawn books", -2000, {{u"現金"_s, 0}}, 0, -2000, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto figures = statements::Reconcile(c.book, c.places);
        EXPECT_EQ(figures.places, c.sum);
        EXPECT_EQ(figures.difference, c.difference);
        EXPECT_EQ(figures.entered, c.entered);
    }
    EXPECT_FALSE(statements::IsKeptPlace({u"　 "_s, std::nullopt}));
    EXPECT_TRUE(statements::IsKeptPlace({QString(), 0}));
    EXPECT_EQ(statements::DifferenceQuestion({{u"一般会計"_s, 0}}), QString());
    EXPECT_EQ(statements::DifferenceQuestion({{u"一般会計"_s, 0}, {u"祭礼会計"_s, -1500}}),
              u"残高内訳の合計が帳簿残高と一致しない会計区分があります。\r\n"
              u"　祭礼会計　差額 -1,500\r\nこのまま保存しますか?"_s);
}

// The block under a settlement's carry-over ends at the carry-over whatever the
// places add up to: the money held outside the statements and what the places do not
// account for stand between.
TEST(ZandakaRules, TheBalanceBlockEndsAtTheCarryOver) {
    const struct {
        const char* name;
        std::vector<Place> places;
        qint64 book, carryOver;
        std::optional<qint64> total, outside, unexplained;
    } cases[] = {
        {"agreeing", {{u"現金"_s, 4000}, {u"○○銀行 普通"_s, 150000}}, 154000, 154000, 154000, 0, 0},
        {"a deposit held", {{u"現金"_s, 4000}, {u"○○銀行 普通"_s, 150000}}, 154000, 140000, 154000, 14000, 0},
        {"short and a deposit", {{u"現金"_s, 4000}}, 154000, 140000, 4000, 14000, -150000},
        {"names only", {{u"現金"_s, std::nullopt}}, 154000, 154000, std::nullopt, std::nullopt, std::nullopt},
        {"nothing", {}, 0, 0, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto block = statements::MakeBalanceBlock(c.places, c.book, c.carryOver);
        ASSERT_EQ(block.has_value(), c.total.has_value());
        if (!block)
            continue;
        EXPECT_EQ(block->total, *c.total);
        EXPECT_EQ(block->outside, *c.outside);
        EXPECT_EQ(block->unexplained, *c.unexplained);
        EXPECT_EQ(block->total - block->outside - block->unexplained, c.carryOver);
        EXPECT_EQ(block->EndsWithCarryOver(), *c.total != c.carryOver);
    }
    // Only places with an amount are printed; names are trimmed.
    const auto block = statements::MakeBalanceBlock(
        {{u" 現金　"_s, 10}, {u"○○銀行"_s, std::nullopt}, {u"　"_s, std::nullopt}}, 10, 10);
    ASSERT_TRUE(block);
    ASSERT_EQ(block->places.size(), 1u);
    EXPECT_EQ(block->places.front().name, u"現金"_s);
}

// The fixture's year with a carry-over of an item outside the statements: the
// general account opens with 70,000 + 5,000; a refund, a transfer (one half in each
// division) and a deposit received outside the statements follow.
class ZandakaTest : public KessanTest {
  protected:
    ZandakaTest() {
        Execute(
            u"insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI) values (2021, 0, 4001, 5000)"_s);
    }
};

TEST_F(ZandakaTest, TheBookBalanceIsTheJournalsBalanceAtTheClosing) {
    const struct {
        int division;
        QString simebi;
        qint64 balance;
    } cases[] = {
        {0, u""_s, 154000},
        {2, u""_s, 15000},
        {0, u"20210930"_s, 334000},
        {2, u"20210930"_s, 60000},
        {0, u"20210420"_s, 375000},
        {2, u"20210420"_s, 10000},
        {3, u""_s, 0},  // a division without lines or budget
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.division) + " at " + c.simebi.toStdString());
        EXPECT_EQ(statements::BookBalance(module.SQLConnection1, {2021, c.simebi}, c.division), c.balance);
    }
    // The year-end figure is what the journal window shows as 今年度最終残.
    TMeisaiNyuryokuForm journal;
    ShowActive(journal);
    EntryWindowTest::Load(journal);
    ASSERT_TRUE(journal.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    for (const int division : {0, 2}) {
        ChooseDivision(journal, division);
        EXPECT_EQ(journal.ZandakaEdit->text().remove(u','),
                  QString::number(statements::BookBalance(module.SQLConnection1, {2021, u""_s}, division)));
    }
}

TEST_F(ZandakaTest, PlacesAreKeptPerClosingCheckedAtSaveAndOfferedToTheNextClosing) {
    TCyukanKessanNyuryokuForm interim;
    ShowActive(interim);
    interim.SimebiEdit->setFocus();
    interim.SimebiEdit->setText(u"0930"_s);
    Load(interim);
    ASSERT_TRUE(interim.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    interim.PageControl1->setCurrentIndex(3);
    EXPECT_EQ(interim.ChoboZanLabel->text(), u"334,000"_s);
    // No place shown (the grid may offer a blank row to type in).
    const auto noPlaces = [&] {
        return GridRows(interim.UchiwakeGrid).join(QString()).remove(u'|').isEmpty();
    };
    EXPECT_TRUE(noPlaces());  // nothing earlier to start from
    const auto addPlace = [&](const QString& name, const QString& amount) {
        if (interim.UchiwakeClone.State() == data::DataSetState::Insert)
            interim.UchiwakeClone.Cancel();  // the blank row the grid offered
        interim.UchiwakeClone.Append();
        interim.UchiwakeClone.FieldByName(u"BASYO"_s).SetText(name);
        interim.UchiwakeClone.FieldByName(u"KINGAKU"_s).SetText(amount);
        interim.UchiwakeClone.Post();
    };
    addPlace(u"  現金 "_s, u"34000"_s);
    addPlace(u"○○銀行 本店 普通 1234567"_s, u"300000"_s);
    EXPECT_EQ(interim.UchiwakeGokeiLabel->text(), u"334,000"_s);
    EXPECT_EQ(interim.SagakuLabel->text(), u"0"_s);
    EXPECT_TRUE(interim.SagakuLabel->styleSheet().isEmpty());
    ChooseDivision(interim, 2);
    EXPECT_TRUE(noPlaces());
    addPlace(u"現金"_s, u"50000"_s);
    EXPECT_EQ(interim.SagakuLabel->text(), u"10,000"_s);
    EXPECT_TRUE(interim.SagakuLabel->styleSheet().contains(u"red"_s));

    // A difference is saved only when the user says so.
    dialogs.QueueAnswer(ModalResult::No);
    Click(interim.SaveBtn);
    EXPECT_EQ(dialogs.Last().text,
              u"残高内訳の合計が帳簿残高と一致しない会計区分があります。\r\n"
              u"　祭礼会計　差額 10,000\r\nこのまま保存しますか?"_s);
    EXPECT_TRUE(interim.SaveBtn->isEnabled());
    EXPECT_EQ(Query(u"select count(*) from ZANDAKA_UCHIWAKE"_s), u"0"_s);
    dialogs.QueueAnswer(ModalResult::Yes);
    Click(interim.SaveBtn);
    ASSERT_FALSE(interim.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(
        Rows(u"select SIMEBI, KAIKEI_KUBUN, JUNJYO, BASYO, KINGAKU from ZANDAKA_UCHIWAKE order by 2, 3"_s),
        (QStringList{u"20210930|0|1|現金|34000"_s, u"20210930|0|2|○○銀行 本店 普通 1234567|300000"_s,
                     u"20210930|2|1|現金|50000"_s}));

    // The year-end starts from the interim's places, names without amounts, and
    // holds nothing unsaved until the user types.
    TKessanNyuryokuForm settlement;
    ShowActive(settlement);
    Load(settlement);
    ASSERT_TRUE(settlement.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(settlement.ChoboZanLabel->text(), u"154,000"_s);
    EXPECT_EQ(GridRows(settlement.UchiwakeGrid), (QStringList{u"現金|"_s, u"○○銀行 本店 普通 1234567|"_s}));
    EXPECT_FALSE(settlement.UchiwakeFigures(0).entered);
    settlement.UchiwakeClone.First();
    settlement.UchiwakeClone.Edit();
    settlement.UchiwakeClone.FieldByName(u"KINGAKU"_s).SetText(u"4000"_s);
    settlement.UchiwakeClone.Post();
    settlement.UchiwakeClone.Next();
    settlement.UchiwakeClone.Edit();
    settlement.UchiwakeClone.FieldByName(u"KINGAKU"_s).SetText(u"150000"_s);
    settlement.UchiwakeClone.Post();
    EXPECT_EQ(settlement.SagakuLabel->text(), u"0"_s);
    // Division 2 keeps only the offered name: not checked, saved as a name.
    const std::size_t asked = dialogs.Shown().size();
    Click(settlement.SaveBtn);
    ASSERT_FALSE(settlement.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(dialogs.Shown().size(), asked);
    EXPECT_EQ(
        Rows(
            u"select KAIKEI_KUBUN, BASYO, KINGAKU from ZANDAKA_UCHIWAKE where SIMEBI = '' order by 1, JUNJYO"_s),
        (QStringList{u"0|現金|4000"_s, u"0|○○銀行 本店 普通 1234567|150000"_s, u"2|現金|-"_s}));

    // 削除 of the interim settlement takes its places; the year-end's stay.
    Load(interim);
    dialogs.QueueAnswer(ModalResult::Yes);
    Click(interim.DeleteBtn);
    EXPECT_EQ(Query(u"select count(*) from ZANDAKA_UCHIWAKE where SIMEBI <> ''"_s), u"0"_s);
    EXPECT_EQ(Query(u"select count(*) from ZANDAKA_UCHIWAKE where SIMEBI = ''"_s), u"3"_s);
}
