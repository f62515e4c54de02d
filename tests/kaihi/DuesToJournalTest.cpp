// 会費徴収 opened over the journal window: the collection's lines handed to the
// journal's load as unsaved lines, saved with the journal, refused over a line being
// typed; and when the journal is cancelled instead, the mismatch that leaves and its
// mending with 仕訳を作り直す.

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "db/WorkKeys.h"
#include "journal/MeisaiNyuryokuUnit.h"
#include "kaihi/KaihiCyosyuUnit.h"
#include "kaihi/KaihiStore.h"
#include "platform/Folders.h"
#include "tests/support/EntryWindowFixture.h"
#include "ui/DBGrid.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class DuesToJournalTest : public EntryWindowTest {
  protected:
    DuesToJournalTest() {
        ExecuteAll(
            module.SQLConnection1,
            {
                u"insert into NENDO (NENDO, KI, KISYUBI, KIMATSUBI) values (2026, 5, '20260401', '20270331')"_s,
                u"insert into HAN (HAN_CD, MEISYO, HANCYO, JUNJYO) values (1, '1班', '山田 太郎', 1)"_s,
                u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (10, '会費', 1, 1, 1)"_s,
                u"insert into KAMOKU (CD, MEISYO, BUNRUI, TOKUBETSU_CD) values (1001, '一般会費', 10, 0)"_s,
                u"insert into KAIHI_SYURUI values (2026, 1, '一般会費', 1, 500, 0, 1001)"_s,
                u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (1, '鈴木', '20200401')"_s,
                u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (2, '高橋', '20200401')"_s,
                u"insert into SETAI_HAN values (1, '20200401', 1)"_s,
                u"insert into SETAI_HAN values (2, '20200401', 1)"_s,
                // A line saved earlier: the balance counts on from it.
                u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, TEKIYO, KAMOKU, SYUNYU) "
                u"values (1, 0, 2026, '20260410', '寄付', 1001, 10000)"_s,
            });
        db::EnsureSharingObjects(module.SQLConnection1);
    }

    std::unique_ptr<TMeisaiNyuryokuForm> OpenJournal() {
        auto journal = std::make_unique<TMeisaiNyuryokuForm>();
        ShowActive(*journal);
        Load(*journal, u"2026"_s);
        EXPECT_TRUE(journal->SaveBtn->isEnabled());
        return journal;
    }

    // 会費徴収 over `journal` (none: opened from the menu) with 鈴木's April to June
    // and 高橋's June ticked, saved; the window is closed again.
    void Collect(TMeisaiNyuryokuForm* journal) {
        TKaihiCyosyuForm dues(2026, journal);
        dues.SetJournal(journal);
        ShowActive(dues);
        dues.HizukeEdit->setText(u"2026/06/30"_s);
        dues.CyosyuGrid->setFocus();
        for (const auto& [row, column] : {std::pair{0, 1}, {0, 2}, {0, 3}, {1, 3}}) {
            dues.CyosyuGrid->setCurrentCell(row, column);
            Press(Qt::Key_Space);
        }
        Press(Qt::Key_S, Qt::ControlModifier);
    }

    QString Mismatches() {
        QStringList out;
        for (const KaihiMismatch& m : KaihiJournalMismatches(module.SQLConnection1, 2026))
            out << u"%1:%2:%3"_s.arg(m.seqNo).arg(m.noufu).arg(m.journal ? QString::number(*m.journal)
                                                                         : u"-"_s);
        return out.join(u' ');
    }

    static QStringList GridLines(const TMeisaiNyuryokuForm& form) {
        QStringList lines = GridRows(form.DBGrid1);
        lines.removeIf([](const QString& line) { return QString(line).remove(u'|').isEmpty(); });
        return lines;
    }

    // The lines made from payments, with how many payments are tied to each.
    const QString kDuesLine = u"0|20260630|山田 太郎|1班 4～6月分会費|1001|2000|2"_s;
    const QString kLines =
        u"select KAIKEI_KUBUN, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, (select count(*) from KAIHI_NOUFU N "
        u"where N.SEQ_NO = L.SEQ_NO) from %1 L where (SEQ_NO > 1) order by SEQ_NO"_s;
};

}  // namespace

TEST_F(DuesToJournalTest, TheLinesAreHandedToTheJournalAndSavedWithIt) {
    auto journal = OpenJournal();
    Collect(journal.get());
    ASSERT_FALSE(dialogs.Shown().empty());
    EXPECT_EQ(dialogs.Last().text,
              u"2世帯の納付（計 2,000円）を保存し、収支明細を1行、収支明細入力に追加しました。\r\n"
              u"収支明細入力で保存すると確定します。"_s);
    // The payments are saved, tied to a line that so far only the journal's load holds.
    EXPECT_EQ(Rows(u"select SETAI_CD, KINGAKU from KAIHI_NOUFU order by 1"_s),
              (QStringList{u"1|1500"_s, u"2|500"_s}));
    const QString seqNo = Query(u"select max(SEQ_NO) from KAIHI_NOUFU"_s);
    EXPECT_EQ(Rows(kLines.arg(u"MEISAI"_s)), QStringList());
    EXPECT_EQ(Rows(kLines.arg(u"W_MEISAI"_s)), QStringList{kDuesLine});
    EXPECT_EQ(Rows(u"select KOUSIN_FLAG from W_MEISAI where SEQ_NO = "_s + seqNo), QStringList{u"2"_s});

    // Shown at once, as an unsaved line, with the balance counting it.
    EXPECT_EQ(GridLines(*journal), (QStringList{u"04/10||寄付|収入 一般会費|10,000|"_s,
                                                u"06/30|山田 太郎|1班 4～6月分会費|収入 一般会費|2,000|"_s}));
    EXPECT_EQ(journal->ZandakaEdit->text(), u"12,000"_s);
    EXPECT_EQ(journal->ClientDataSet1.FieldByName(u"SEQ_NO"_s).AsString(), seqNo);

    dialogs.Clear();
    Click(journal->SaveBtn);
    EXPECT_EQ(Rows(kLines.arg(u"MEISAI"_s)), QStringList{kDuesLine});
    EXPECT_EQ(Mismatches(), QString());
    EXPECT_EQ(MissingJournalLines(module.SQLConnection1, 2026), std::vector<int>());
}

TEST_F(DuesToJournalTest, ALineBeingTypedRefusesTheCollection) {
    auto journal = OpenJournal();
    journal->DBGrid1->setFocus();
    Settle();
    journal->ClientDataSet1.Append();
    journal->ClientDataSet1.FieldByName(u"TEKIYO"_s).SetValue(u"書きかけ"_s);
    Collect(journal.get());
    EXPECT_EQ(dialogs.Last().text,
              u"収支明細入力で入力中の行があります。\r\n"
              u"その行を確定するか取り消してから、もう一度保存してください。"_s);
    EXPECT_EQ(Rows(u"select count(*) from KAIHI_NOUFU"_s), QStringList{u"0"_s});
    EXPECT_TRUE(journal->ClientDataSet1.IsEditing());
    EXPECT_EQ(journal->ClientDataSet1.FieldByName(u"TEKIYO"_s).AsString(), u"書きかけ"_s);
}

TEST_F(DuesToJournalTest, ACancelledJournalLeavesAMismatchThatIsMadeAgain) {
    auto journal = OpenJournal();
    Collect(journal.get());
    const QString handed = Rows(kLines.arg(u"W_MEISAI"_s)).join(u' ');

    // キャンセル warns that the dues lines go; いいえ keeps the load as it is.
    dialogs.Clear();
    dialogs.QueueAnswer(ModalResult::No);
    Click(journal->CancelBtn);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"会費徴収で作った明細が1行、まだ保存されていません。"_s))
        << dialogs.Last().text.toStdString();
    EXPECT_TRUE(journal->SaveBtn->isEnabled());
    // Esc asks that one question only, not the general one before it.
    dialogs.Clear();
    dialogs.QueueAnswer(ModalResult::Yes);
    QTest::keyClick(journal.get(), Qt::Key_Escape);
    Settle();
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"会費徴収で作った明細が1行"_s));
    EXPECT_FALSE(journal->SaveBtn->isEnabled());
    journal.reset();

    // The payments stay; the ledger and journal now disagree, and the check says so.
    EXPECT_EQ(Rows(u"select count(*) from KAIHI_NOUFU"_s), QStringList{u"2"_s});
    EXPECT_EQ(Mismatches(), Query(u"select max(SEQ_NO) from KAIHI_NOUFU"_s) + u":2000:-"_s);

    // Mended from 会費徴収 opened from the menu: the same line, under the same number.
    {
        TKaihiCyosyuForm dues(2026);
        ShowActive(dues);
        dialogs.Clear();
        dialogs.QueueAnswer(ModalResult::Yes);
        dues.RemakeBtn->click();
        Settle();
        EXPECT_EQ(dialogs.Last().text, u"収支明細を1行作り直しました。"_s);
    }
    EXPECT_EQ(Rows(kLines.arg(u"MEISAI"_s)).join(u' '), handed);
    EXPECT_EQ(Mismatches(), QString());

    // Nothing more to make: told so, nothing written.
    TKaihiCyosyuForm dues(2026);
    ShowActive(dues);
    dues.RemakeBtn->click();
    Settle();
    EXPECT_EQ(dialogs.Last().text, u"2026年度の会費の納付の収支明細は、すべてそろっています。"_s);
    EXPECT_EQ(Rows(u"select count(*) from MEISAI"_s), QStringList{u"2"_s});
}

TEST_F(DuesToJournalTest, AnAbandonedLoadsDuesLinesAreNamedWhenOfferedBack) {
    // A load of this computer whose program died after a collection was handed to it.
    const QString host = platform::FullHostName();
    const db::WorkKey lost{host.left(15), u"20260630120000"_s};
    module.SQLConnection1.Execute(
        u"insert into W_KEY (CPU_NAME, JIKOKU, WORK_TABLE, NENDO, HOST_NAME, ATTACHMENT_ID) "
        u"values (:C, :J, 'W_MEISAI', 2026, :H, 999999999)"_s,
        {{u"C"_s, lost.cpuName}, {u"J"_s, lost.jikoku}, {u"H"_s, host}});
    const std::vector<int> seqNos = SaveCollection(
        module.SQLConnection1, 2026, {{1, 1, QDate(2026, 6, 30), {QDate(2026, 4, 1)}, 500, 1}}, lost);

    // Declined, the lines go and the check reports the payment's missing line.
    dialogs.QueueAnswer(ModalResult::No);
    auto journal = OpenJournal();
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.endsWith(
        u"（うち1件は会費徴収で作った明細です。削除すると会費の納付と収支明細が合わなくなります）"_s))
        << dialogs.Last().text.toStdString();
    EXPECT_EQ(Mismatches(), u"%1:500:-"_s.arg(seqNos.at(0)));
    EXPECT_EQ(MissingJournalLines(module.SQLConnection1, 2026, journal->CurrentLoad()->key), seqNos);
}
