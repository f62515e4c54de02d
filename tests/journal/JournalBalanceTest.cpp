// 今年度最終残 is kept by the change of each posted or deleted line instead of
// being summed again over the whole year. After every step of a session — lines
// typed, retyped, deleted, transfers written in one division and changed in the
// other, a posting the database refuses, edits abandoned, the display filter, a
// division switch, キャンセル and a new load, a save — the balance shown must be
// the opening balance plus a fresh sum of the division's work rows.

#include <QLineEdit>
#include <QPushButton>

#include <functional>

#include "tests/journal/JournalFixture.h"

using namespace Qt::Literals::StringLiterals;

class JournalBalanceTest : public JournalTest {
  protected:
    JournalBalanceTest() {
        for (const QString& sql : {
                 // Opening balances: 300,000 in the general account, 50,000 in division 2.
                 u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 100, 300000)"_s,
                 u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 2, 100, 50000)"_s,
                 // Division 2's transfer from the general account names a receipts item.
                 u"insert into KAMOKU (CD, MEISYO, BUNRUI, TOKUBETSU_CD) values (3002, '祭礼会計より繰入', 30, 2)"_s,
                 // The saved year: a receipt, a transfer to division 2 (both halves),
                 // a payment in division 3.
                 u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) "
                 u"values (1, 0, 2021, '20210405', '会費', 1001, 3000, null)"_s,
                 u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) "
                 u"values (2, 0, 2021, '20210406', '繰出', 6002, null, 8000)"_s,
                 u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) "
                 u"values (2, 2, 2021, '20210406', '繰出', 3000, 8000, null)"_s,
                 u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) "
                 u"values (3, 3, 2021, '20210407', '修繕', 2001, null, 1500)"_s,
                 // Two lines of the general account that share a number (two computers
                 // took it at once): posting either rewrites both.
                 u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) "
                 u"values (10, 0, 2021, '20210410', '会費', 1001, 2000, null)"_s,
                 u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) "
                 u"values (10, 0, 2021, '20210411', '備品', 2001, null, 500)"_s,
                 // A posting the database refuses: a mirrored half of 13 yen.
                 u"create exception E_REFUSED '拒否'"_s,
                 u"create trigger T_REFUSE for W_MEISAI before insert as begin "
                 u"if (new.KOUSIN_FLAG is not null and (new.SYUNYU = 13 or new.SISYUTSU = 13) "
                 u"and new.KAMOKU in (3000, 3002, 6000)) then exception E_REFUSED; end"_s,
             })
            Execute(sql);
    }

    // The balance the window must show: the opening balance and an independent
    // sum of the shown division's work rows.
    QString Expected(const TMeisaiNyuryokuForm& form) {
        const qint64 division = form.KaikeiKubunCombo->KeyValue().AsInteger();
        const qint64 opening = division == 0 ? 300000 : division == 2 ? 50000 : 0;
        const qint64 lines = Query(u"select coalesce(sum(SYUNYU), 0) - coalesce(sum(SISYUTSU), 0) "
                                   u"from W_MEISAI where (JIKOKU = '%1') and (KAIKEI_KUBUN = %2)"_s
                                       .arg(form.Jikoku)
                                       .arg(division))
                                 .toLongLong();
        return QString::number(opening + lines);
    }
    static QString Shown(const TMeisaiNyuryokuForm& form) {
        QString text = form.ZandakaEdit->text();
        return text.remove(u',');
    }

    // Puts the cursor on the line numbered seqNo, in the column `field`, with the keys.
    static void GoToLine(TMeisaiNyuryokuForm& form, int seqNo, const QString& field) {
        form.DBGrid1->setFocus();
        Settle();
        const data::DataSet& lines = form.ClientDataSet1;
        const auto onIt = [&] {
            return lines.State() != data::DataSetState::Insert && !lines.IsEmpty() &&
                   lines.FieldByName(u"SEQ_NO"_s).AsInteger() == seqNo;
        };
        for (int i = 0; i < 20 && !onIt(); ++i)
            Press(Qt::Key_Up);
        for (int i = 0; i < 20 && !onIt(); ++i)
            Press(Qt::Key_Down);
        ASSERT_TRUE(onIt()) << "no line " << seqNo;
        form.DBGrid1->SetSelectedField(field);
        Settle();
    }
    // Retypes one cell of a line; leaving the line posts it.
    static void Retype(TMeisaiNyuryokuForm& form, int seqNo, const QString& field, const QString& text) {
        GoToLine(form, seqNo, field);
        Type(text);
        Press(Qt::Key_Down);
    }
    static void DateFilter(TMeisaiNyuryokuForm& form, const QString& from, const QString& to) {
        form.DateFromEdit->setFocus();
        form.DateFromEdit->selectAll();
        Type(from);
        Press(Qt::Key_Tab);
        form.DateToEdit->selectAll();
        Type(to);
        Press(Qt::Key_Tab);
    }
};

TEST_F(JournalBalanceTest, TheFinalBalanceAlwaysEqualsAFreshSumOfTheWorkRows) {
    auto form = Open();
    TMeisaiNyuryokuForm& f = *form;
    // Lines typed here take the numbers 11, 12, 13, 14 in the order typed (the
    // sequence continues above the saved lines; each fresh line takes the next).
    const struct Step {
        const char* what;
        std::function<void()> act;
    } steps[] = {
        {"the year loaded", [&] { Load(f); }},
        {"a receipt typed (11)", [&] { TypeLine({u"0501"_s, QString(), u"会費"_s, u"1001"_s, u"5000"_s, QString()}); }},
        {"a payment typed (12)",
         [&] { TypeLine({u"0502"_s, QString(), u"備品"_s, u"2001"_s, QString(), u"1200"_s}); }},
        {"a transfer to division 2 typed (13)",
         [&] { TypeLine({u"0503"_s, QString(), u"繰出"_s, u"6002"_s, QString(), u"7000"_s}); }},
        {"a negative payment typed (14)",
         [&] { TypeLine({u"0504"_s, QString(), u"返金"_s, u"2001"_s, QString(), u"-650"_s}); }},
        {"the saved receipt retyped", [&] { Retype(f, 1, u"SYUNYU"_s, u"4500"_s); }},
        {"one of two lines sharing a number retyped", [&] { Retype(f, 10, u"SYUNYU"_s, u"2100"_s); }},
        {"the saved transfer made an ordinary payment", [&] { Retype(f, 2, u"KAMOKU_MEI"_s, u"2001"_s); }},
        {"a receipt given a payment too", [&] { Retype(f, 11, u"SISYUTSU"_s, u"300"_s); }},
        {"an amount removed", [&] { Retype(f, 14, u"SISYUTSU"_s, u"0"_s); }},
        {"a payment deleted",
         [&] {
             GoToLine(f, 12, u"MMDD"_s);
             Click(f.GyoSakujyoBtn);
         }},
        {"a retyped amount abandoned with 行ｷｬﾝｾﾙ",
         [&] {
             GoToLine(f, 1, u"SYUNYU"_s);
             Type(u"999999"_s);
             Click(f.GyoCancelBtn);
         }},
        {"a retyped amount abandoned with Esc",
         [&] {
             GoToLine(f, 13, u"SISYUTSU"_s);
             Type(u"888888"_s);
             Press(Qt::Key_Escape);
             ASSERT_FALSE(f.ClientDataSet1.IsEditing());
         }},
        {"a transfer whose mirrored half the database refuses",
         [&] {
             GoToLine(f, 13, u"SISYUTSU"_s);
             Type(u"13"_s);
             Press(Qt::Key_Down);
             ASSERT_FALSE(dialogs.Shown().empty()) << "the refusal is shown";
             ASSERT_TRUE(f.ClientDataSet1.IsEditing()) << "the line stays as typed";
             Press(Qt::Key_Escape);
             ASSERT_FALSE(f.ClientDataSet1.IsEditing());
         }},
        {"a display filter that hides every line", [&] { DateFilter(f, u"0301"_s, u"0331"_s); }},
        {"a line typed under that filter (15)",
         [&] {
             f.DBGrid1->setFocus();
             TypeLine({u"0601"_s, QString(), u"雑収入"_s, u"1001"_s, u"777"_s, QString()});
         }},
        {"the filter widened to the whole year", [&] { DateFilter(f, u"0401"_s, u"0331"_s); }},
        {"division 2 shown", [&] { ChooseDivision(f, 2); }},
        {"the transfer's mirrored half retyped in division 2", [&] { Retype(f, 13, u"SYUNYU"_s, u"7700"_s); }},
        {"a transfer from division 2 to the general account (16)",
         [&] {
             f.DBGrid1->setFocus();
             TypeLine({u"0701"_s, QString(), u"繰戻"_s, u"6000"_s, QString(), u"2500"_s});
         }},
        {"the first transfer deleted at its mirrored half",
         [&] {
             GoToLine(f, 13, u"MMDD"_s);
             Click(f.GyoSakujyoBtn);
         }},
        {"division 3 shown", [&] { ChooseDivision(f, 3); }},
        {"the general account shown again", [&] { ChooseDivision(f, 0); }},
        {"the second transfer's general half retyped",
         [&] {
             // Showing a division or a filter starts a fresh line, which takes a
             // number of the sequence: this line is found by its text.
             const int seqNo = Query(u"select SEQ_NO from W_MEISAI where (JIKOKU = '%1') and (TEKIYO = '繰戻') "
                                     u"and (KAIKEI_KUBUN = 0)"_s.arg(f.Jikoku))
                                   .toInt();
             Retype(f, seqNo, u"SYUNYU"_s, u"2600"_s);
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        ASSERT_FALSE(f.ZandakaEdit->text().isEmpty());
        EXPECT_EQ(Shown(f), Expected(f));
    }
    // The general account, worked out by hand from 296,500 through every step.
    EXPECT_EQ(Shown(f), u"306677"_s);

    // キャンセル drops the work rows and blanks the balance; the new load counts
    // only the saved year.
    dialogs.Clear();
    Click(f.CancelBtn);
    EXPECT_TRUE(f.ZandakaEdit->text().isEmpty());
    Load(f);
    EXPECT_EQ(Shown(f), u"296500"_s);
    EXPECT_EQ(Shown(f), Expected(f));

    // A line posted, the year saved and loaded again.
    TypeLine({u"0801"_s, QString(), u"会費"_s, u"1001"_s, u"1234"_s, QString()});
    EXPECT_EQ(Shown(f), Expected(f));
    Click(f.SaveBtn);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    Load(f);
    EXPECT_EQ(Shown(f), u"297734"_s);
    EXPECT_EQ(Shown(f), Expected(f));
}
