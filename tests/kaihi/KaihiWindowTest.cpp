// The dues ledger's windows driven by the keyboard: households entered, moved and
// refused in 班・世帯; a 班's collection ticked in 会費徴収 and saved as payments and
// journal lines.

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "core/Errors.h"
#include "kaihi/KaihiCyosyuUnit.h"
#include "kaihi/KaihiMenjyoUnit.h"
#include "kaihi/KaihiRyosyusyoUnit.h"
#include "kaihi/KaihiStore.h"
#include "kaihi/KaihiSyuruiUnit.h"
#include "kaihi/SetaiImport.h"
#include "kaihi/SetaiMaintUnit.h"
#include "platform/Folders.h"
#include "tests/support/DataWindowFixture.h"
#include "tests/support/QueryRows.h"
#include "tests/support/TempFolder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class KaihiWindowTest : public DataWindowTest {
  protected:
    KaihiWindowTest() {
        for (
            const QString& sql : {
                u"insert into NENDO (NENDO, KI, KISYUBI, KIMATSUBI) values (2026, 5, '20260401', '20270331')"_s,
                u"insert into HAN (HAN_CD, MEISYO, HANCYO, JUNJYO) values (1, '1班', '山田 太郎', 1)"_s,
                u"insert into HAN (HAN_CD, MEISYO, HANCYO, JUNJYO) values (2, '2班', '佐藤 花子', 2)"_s,
                u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, JUNJYO) values (10, '会費', 1, 10)"_s,
                u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO) values (1001, '一般会費', 10, 1)"_s,
                u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO) values (1002, '特別会費', 10, 2)"_s,
                u"insert into KAIHI_SYURUI values (2026, 1, '一般会費', 1, 500, 0, 1001)"_s,
                u"insert into KAIHI_SYURUI values (2026, 2, '特別会費', 0, 3000, 0, 1002)"_s,
            })
            Execute(sql);
    }
    QStringList Rows(const QString& sql) { return RowsOf(module.SQLConnection1, sql); }

    // Fills the household fields from 世帯名 on with Enter between them, then Ctrl+S.
    void EnterHousehold(TSetaiMaintForm& form, const QString& name, const QString& reading, int hanDown,
                        const QString& joined) {
        form.SinkiBtn->click();
        Settle();
        EXPECT_EQ(QApplication::focusWidget(), form.MeisyoEdit);
        Type(name);
        Press(Qt::Key_Return);
        Type(reading);
        Press(Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), form.HanCombo);
        for (int i = 0; i < hanDown; ++i)
            form.HanCombo->setCurrentIndex(form.HanCombo->currentIndex() + 1);
        Press(Qt::Key_Return);
        Type(u"東町1-2-3"_s);
        Press(Qt::Key_Return);
        Type(u"03-1234-5678"_s);
        Press(Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), form.NyukaiEdit);
        Type(joined);
        Press(Qt::Key_S, Qt::ControlModifier);
    }
};

}  // namespace

TEST_F(KaihiWindowTest, HouseholdsAreEnteredMovedAndRefusedByTheKeyboard) {
    TSetaiMaintForm form;
    ShowActive(form);
    EnterHousehold(form, u"鈴木 一郎"_s, u"すずき"_s, 0, u"2020/4/1"_s);
    EnterHousehold(form, u"田中 花子"_s, u"たなか"_s, 1, u"20260615"_s);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Rows(u"select SETAI_CD, MEISYO, FURIGANA, TEL, NYUKAI_BI, TAIKAI_BI from SETAI order by 1"_s),
              (QStringList{u"1|鈴木 一郎|すずき|03-1234-5678|20200401|-"_s,
                           u"2|田中 花子|たなか|03-1234-5678|20260615|-"_s}));
    EXPECT_EQ(Rows(u"select SETAI_CD, KAISI_BI, HAN_CD from SETAI_HAN order by 1, 2"_s),
              (QStringList{u"1|20200401|1"_s, u"2|20260615|2"_s}));
    EXPECT_EQ(form.SetaiList->rowCount(), 2);

    // The kana search narrows the list; the first household moves to 2班 from October.
    form.SearchEdit->setFocus();
    Type(u"すず"_s);
    ASSERT_EQ(form.SetaiList->rowCount(), 1);
    form.SetaiList->selectRow(0);
    Settle();
    EXPECT_EQ(form.CurrentSetai(), 1);
    EXPECT_FALSE(form.HanCombo->isEnabled());
    form.IdouBiEdit->setFocus();
    Type(u"2026/10/01"_s);
    form.IdouHanCombo->setCurrentIndex(1);
    form.IdouBtn->click();
    Settle();
    EXPECT_EQ(Rows(u"select KAISI_BI, HAN_CD from SETAI_HAN where SETAI_CD = 1 order by 1"_s),
              (QStringList{u"20200401|1"_s, u"20261001|2"_s}));

    // Faults are told and write nothing.
    const QStringList before = Rows(u"select * from SETAI order by 1"_s);
    const struct {
        const char* fault;
        std::function<void()> edit;
        QString message;
    } cases[] = {
        {"no name", [&] { form.MeisyoEdit->clear(); }, u"世帯名を入力してください。"_s},
        {"a date that is none", [&] { form.NyukaiEdit->setText(u"2026/13/01"_s); },
         u"入会日を正しい日付(例 2026/04/01)で入力してください。"_s},
        {"leaving before joining", [&] { form.TaikaiEdit->setText(u"2019/3/31"_s); },
         u"退会日が入会日より前になっています。"_s},
        {"joining after the move", [&] { form.NyukaiEdit->setText(u"2026/11/01"_s); },
         u"入会日が班の移動日(2026/10/01)以後になっています。"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        form.SetaiList->clearSelection();
        form.SetaiList->selectRow(0);
        Settle();
        dialogs.Clear();
        c.edit();
        form.HozonBtn->click();
        Settle();
        ASSERT_EQ(dialogs.Shown().size(), 1u);
        EXPECT_EQ(dialogs.Last().text, c.message);
        EXPECT_EQ(Rows(u"select * from SETAI order by 1"_s), before);
    }
}

TEST_F(KaihiWindowTest, AHanCollectionBecomesPaymentsAndJournalLines) {
    for (const QString& sql : {
             u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (1, '鈴木', '20200401')"_s,
             u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (2, '高橋', '20260615')"_s,
             u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (3, '田中', '20200401')"_s,
             u"insert into SETAI_HAN values (1, '20200401', 1)"_s,
             u"insert into SETAI_HAN values (2, '20260615', 1)"_s,
             u"insert into SETAI_HAN values (3, '20200401', 2)"_s,
         })
        Execute(sql);
    TKaihiCyosyuForm form(2026);
    ShowActive(form);
    form.HizukeEdit->setText(u"2026/06/30"_s);
    // 1班: 鈴木 all year, 高橋 from June; 田中 of 2班 is not listed.
    ASSERT_EQ(form.CyosyuGrid->rowCount(), 2);
    EXPECT_EQ(form.CyosyuGrid->item(1, 1)->text(), u"－"_s);  // 高橋 owes no April
    // Ticks made with the keyboard: Space on 鈴木's April to June, 高橋's June.
    form.CyosyuGrid->setFocus();
    for (const auto& [row, column] : {std::pair{0, 1}, {0, 2}, {0, 3}, {1, 3}}) {
        form.CyosyuGrid->setCurrentCell(row, column);
        Press(Qt::Key_Space);
    }
    EXPECT_EQ(form.GokeiLabel->text(), u"今回の合計 2,000円（2世帯）"_s);
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().text, u"2世帯の納付（計 2,000円）を保存し、収支明細を1行作成しました。"_s);
    EXPECT_EQ(Rows(u"select KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU from MEISAI"_s),
              (QStringList{u"0|2026|20260630|山田 太郎|1班 4～6月分会費|1001|2000"_s}));
    EXPECT_EQ(Rows(u"select SETAI_CD, TSUKI, KINGAKU, HAN_CD from KAIHI_NOUFU order by 1"_s),
              (QStringList{u"1|000111000000|1500|1"_s, u"2|000001000000|500|1"_s}));
    // Reloaded, the paid months are fixed and the rest still open.
    EXPECT_EQ(form.CyosyuGrid->item(0, 1)->text(), u"済"_s);
    EXPECT_TRUE(form.CyosyuGrid->item(0, 4)->flags() & Qt::ItemIsUserCheckable);
    EXPECT_EQ(form.CyosyuGrid->item(0, form.CyosyuGrid->columnCount() - 1)->text(), u"4,500円"_s);

    // Nothing ticked: told, nothing written.
    dialogs.Clear();
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.Last().text, u"納付する月にチェックを付けてください。"_s);
    EXPECT_EQ(Rows(u"select count(*) from MEISAI"_s), QStringList{u"1"_s});
}

TEST_F(KaihiWindowTest, AKindOfDuesIsAddedInItsGrid) {
    TKaihiSyuruiForm form(2026);
    ShowActive(form);
    ASSERT_EQ(form.SyuruiGrid->rowCount(), 2);
    form.TsuikaBtn->click();
    Settle();
    ASSERT_EQ(form.SyuruiGrid->currentRow(), 2);
    form.SyuruiGrid->item(2, 0)->setText(u"防災会費"_s);
    form.SyuruiGrid->item(2, 2)->setText(u"１，０００"_s);  // typed in full width, with a separator
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.Last().text, u"会費の種別を保存しました。"_s);
    EXPECT_EQ(
        Rows(u"select SYURUI_CD, MEISYO, TSUKI_KUBUN, KINGAKU, KAMOKU from KAIHI_SYURUI order by 1"_s),
        (QStringList{u"1|一般会費|1|500|1001"_s, u"2|特別会費|0|3000|1002"_s, u"3|防災会費|1|1000|1001"_s}));
}

TEST_F(KaihiWindowTest, AnExemptionIsAddedRefusedAndDeleted) {
    Execute(u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (1, '鈴木', '20200401')"_s);
    Execute(u"insert into SETAI_HAN values (1, '20200401', 1)"_s);
    TKaihiMenjyoForm form(2026, 1, u"鈴木"_s, {1, u"一般会費"_s, true, 500, 0, 1001});
    ShowActive(form);
    const auto exemptions = [&] {
        return Rows(u"select SETAI_CD, SYURUI_CD, KAISI_TSUKI, SYURYO_TSUKI, RIYU from KAIHI_MENJYO"_s);
    };
    ASSERT_EQ(form.KaisiCombo->count(), 12);
    form.KaisiCombo->setCurrentIndex(9);  // 2027年1月
    form.SyuryoCombo->setCurrentIndex(8);
    form.TsuikaBtn->click();
    Settle();
    EXPECT_EQ(dialogs.Last().text, u"免除の終了月が開始月より前になっています。"_s);
    EXPECT_EQ(exemptions(), QStringList());

    form.SyuryoCombo->setCurrentIndex(11);
    form.RiyuEdit->setFocus();
    Type(u"長期入院のため"_s);
    Press(Qt::Key_Return);  // Enter moves on to 追加
    EXPECT_EQ(QApplication::focusWidget(), form.TsuikaBtn);
    form.TsuikaBtn->click();
    Settle();
    EXPECT_EQ(exemptions(), QStringList{u"1|1|202701|202703|長期入院のため"_s});
    ASSERT_EQ(form.MenjyoList->rowCount(), 1);
    EXPECT_EQ(form.MenjyoList->item(0, 0)->text(), u"2027年1月"_s);

    form.MenjyoList->setCurrentCell(0, 0);
    dialogs.QueueAnswer(ModalResult::Yes);
    form.SakujyoBtn->click();
    Settle();
    EXPECT_EQ(exemptions(), QStringList());
    EXPECT_EQ(form.MenjyoList->rowCount(), 0);
}

TEST_F(KaihiWindowTest, HouseholdsAreImportedFromA班List) {
    Execute(u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (1, '鈴木 一郎', '20200401')"_s);
    Execute(u"insert into SETAI_HAN values (1, '20200401', 1)"_s);
    const auto import = [&](const QString& text) {
        QByteArray bytes = text.toUtf8();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return ImportSetai(module.SQLConnection1, buffer, QDate(2026, 4, 1));
    };
    const auto households = [&] {
        return Rows(
            u"select S.MEISYO, S.FURIGANA, S.TEL, S.NYUKAI_BI, H.HAN_CD from SETAI S join SETAI_HAN H on "
            u"(H.SETAI_CD = S.SETAI_CD) order by S.SETAI_CD"_s);
    };
    const QStringList before = households();

    // Columns in the list's own order and names; 班 by name or code; a blank row.
    SetaiImportResult good = import(
        u"氏名,フリガナ,班,電話,入会日\r\n"
        u"田中 花子,たなか,1班,０３－１１１１－２２２２,2021/5/1\r\n"
        u",,,,\r\n"
        u"高橋 進,たかはし,２,,\r\n"_s);
    EXPECT_TRUE(good.refused.empty());
    EXPECT_EQ(good.imported, 2);
    const QStringList added{u"田中 花子|たなか|03-1111-2222|20210501|1"_s,
                            u"高橋 進|たかはし|-|20260401|2"_s};
    EXPECT_EQ(households(), before + added);

    // Any refused row: nothing imported, every refused row listed with why.
    const QStringList imported = households();
    SetaiImportResult bad = import(
        u"班,世帯名,入会日,電話番号\r\n"
        u"3班,山田 太郎,,\r\n"
        u"1班,,2026/4/1,\r\n"
        u"1班,伊藤 明,4月1日,\r\n"
        u"1班,鈴木 一郎,,\r\n"
        u"2班,佐藤 誠,,〇三\r\n"
        u"2班,渡辺 茂,,\r\n"_s);
    EXPECT_EQ(bad.imported, 0);
    EXPECT_EQ(bad.refused, (std::vector<SetaiImportRefusal>{
                               {2, u"班「3班」が登録されていません。"_s},
                               {3, u"世帯名を入力してください。"_s},
                               {4, u"入会日「4月1日」が日付ではありません。"_s},
                               {5, u"1班に「鈴木 一郎」は登録済みです。"_s},
                               {6, u"電話番号は半角の数字と「-」で入力してください。"_s},
                           }));
    EXPECT_EQ(households(), imported);

    EXPECT_THROW(import(u"名前だけ\r\n山田\r\n"_s), EAppError);
}

// Receipts chosen in their window: the 班 the collection window shows comes
// first; payments are ticked with Space and printed, and get their numbers; the list narrows to a household,
// to days, or to payments without a receipt; with nothing ticked the current payment is printed.
TEST_F(KaihiWindowTest, ReceiptsAreChosenTickedAndNumbered) {
    for (const QString& sql : {
             u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (1, '鈴木', '20200401')"_s,
             u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (2, '高橋', '20200401')"_s,
             u"insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (3, '田中', '20200401')"_s,
             u"insert into SETAI_HAN values (1, '20200401', 1)"_s,
             u"insert into SETAI_HAN values (2, '20200401', 1)"_s,
             u"insert into SETAI_HAN values (3, '20200401', 2)"_s,
         })
        Execute(sql);
    const QDate may(2026, 5, 10);
    SaveCollection(module.SQLConnection1, 2026,
                   {{1, 1, may, {QDate(2026, 4, 1), QDate(2026, 5, 1), QDate(2026, 6, 1)}, 1500, 1},
                    {2, 1, may, {QDate(2026, 4, 1)}, 500, 1},
                    {3, 2, QDate(2026, 6, 20), {}, 3000, 0}});
    // Books are saved into a folder of the test's own and not opened.
    const TempFolder folder;
    const QString app = QString::fromLocal8Bit(qgetenv("TSUBAKI_APP_DIR"));
    ASSERT_TRUE(QFile::link(app + u"/Template"_s, folder.File(u"Template"_s)));
    WriteFile(folder.File(u"Tsubaki.ini"_s),
              u"[Report]\nOutputFolder=%1\nViewer=\n"_s.arg(folder.File(u"reports"_s)).toUtf8());
    platform::OverrideProgramFolder(folder.Path());
    const auto numbers = [&] {
        return Rows(u"select SETAI_CD, coalesce(RYOSYUSYO_NO, 0) from KAIHI_NOUFU order by 1"_s);
    };
    const auto books = [&] { return QDir(folder.File(u"reports"_s)).entryList(QDir::Files).size(); };

    // Opened from the collection window on the 班 it shows.
    {
        TKaihiCyosyuForm collection(2026);
        ShowActive(collection);
        QString shownHan;
        WhenModal<TKaihiRyosyusyoForm>([&](TKaihiRyosyusyoForm& form) {
            shownHan = form.HanCombo->currentText();
            form.CloseBtn->click();
        });
        collection.RyosyuBtn->click();
        EXPECT_EQ(shownHan, u"1班"_s);
    }

    TKaihiRyosyusyoForm form(2026, 1);
    ShowActive(form);
    // 1班's two payments.
    ASSERT_EQ(form.NoufuGrid->rowCount(), 2);
    form.NoufuGrid->setFocus();
    form.NoufuGrid->setCurrentCell(0, 2);
    Press(Qt::Key_Space);
    Press(Qt::Key_Down);
    Press(Qt::Key_Space);
    EXPECT_EQ(form.GokeiLabel->text(), u"チェック 2件（計 2,000円）／表示 2件"_s);
    form.RyosyusyoBtn->click();
    EXPECT_EQ(numbers(), (QStringList{u"1|1"_s, u"2|2"_s, u"3|0"_s}));
    EXPECT_EQ(books(), 1);
    EXPECT_EQ(form.NoufuGrid->item(1, 7)->text(), u"2"_s);
    EXPECT_EQ(form.GokeiLabel->text(), u"チェック 0件（計 0円）／表示 2件"_s);

    // Every 班, without a receipt yet: 田中's transfer only.
    form.HanCombo->setCurrentIndex(0);
    form.MihakkoCheck->setChecked(true);
    ASSERT_EQ(form.NoufuGrid->rowCount(), 1);
    EXPECT_EQ(form.NoufuGrid->item(0, 2)->text(), u"田中"_s);
    form.MihakkoCheck->setChecked(false);
    form.SetaiEdit->setText(u"高"_s);
    EXPECT_EQ(form.NoufuGrid->rowCount(), 1);
    form.SetaiEdit->clear();
    form.KaisiEdit->setText(u"2026/6/1"_s);
    emit form.KaisiEdit->editingFinished();
    ASSERT_EQ(form.NoufuGrid->rowCount(), 1);
    form.SyuryoEdit->setText(u"6月30日"_s);
    emit form.SyuryoEdit->editingFinished();
    EXPECT_EQ(dialogs.Last().text, u"納付日の範囲を正しい日付(例 2026/04/01)で入力してください。"_s);
    form.SyuryoEdit->clear();

    // Nothing ticked: the current payment; printed again, 鈴木's keeps its number.
    form.RyosyusyoBtn->click();
    EXPECT_EQ(numbers(), (QStringList{u"1|1"_s, u"2|2"_s, u"3|3"_s}));
    form.KaisiEdit->clear();
    emit form.KaisiEdit->editingFinished();
    form.NoufuGrid->setCurrentCell(0, 1);
    form.RyosyusyoBtn->click();
    EXPECT_EQ(numbers(), (QStringList{u"1|1"_s, u"2|2"_s, u"3|3"_s}));
    EXPECT_EQ(books(), 3);
    platform::OverrideProgramFolder(QString());
}
