// 取込 in the journal window: a CSV file's rows become unsaved lines of the load,
// all of them or none.

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableWidget>

#include <map>
#include <stdexcept>

#include "db/WorkKeys.h"
#include "journal/ImportRules.h"
#include "journal/JournalExport.h"
#include "journal/TorikomiErrorUnit.h"
#include "journal/TorikomiKakuninUnit.h"
#include "journal/TorikomiSetteiUnit.h"
#include "tests/journal/JournalFixture.h"
#include "tests/support/TempFolder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const QString kHeading = u"日付,会計区分,相手先,摘要,科目コード,科目名,収入,支出\r\n"_s;

// Waits until the modal window `window` has the keyboard (its own focus is set as
// it is shown; a busy machine may take a moment).
void WaitForFocusIn(QWidget& window) {
    for (int i = 0; i < 200 && !window.isAncestorOf(QApplication::focusWidget()); ++i)
        QTest::qWait(10);
}

// Closes `window` if the keys sent to it left it open, so that a failing test
// fails instead of waiting for ever.
void EnsureClosed(QDialog& window) {
    if (window.isVisible())
        window.reject();
}

QByteArray Cp932(const QString& text) {
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

}  // namespace

class JournalImportTest : public JournalTest {
  protected:
    // Presses 取込 with `bytes` as the chosen file.
    void Import(TMeisaiNyuryokuForm& form, const QByteArray& bytes) {
        const QString path = folder.File(u"明細%1.csv"_s.arg(++files));
        WriteFile(path, bytes);
        dialogs.QueueFile(path);
        Click(form.TorikomiBtn);
        QApplication::setActiveWindow(&form);
        Settle();
    }

    // The window's work rows with their texts and flag.
    QStringList WorkLines(const TMeisaiNyuryokuForm& form) {
        return Rows(
            u"select SEQ_NO, KAIKEI_KUBUN, HIZUKE, MMDD, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU, KOUSIN_FLAG "
            u"from W_MEISAI where JIKOKU = '%1' order by SEQ_NO, KAIKEI_KUBUN"_s.arg(form.Jikoku));
    }

    TempFolder folder;
    int files = 0;
};

TEST_F(JournalImportTest, ARowThatATypedLineCouldNotBeRefusesTheWholeFile) {
    Execute(
        u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, TEKIYO, KAMOKU, SYUNYU) "
        u"values (1, 0, 2021, '20210401', '会費', 1001, 3000)"_s);
    auto form = Open();
    Load(*form);
    const QString allWorkRows = u"select * from W_MEISAI order by SEQ_NO, KAIKEI_KUBUN"_s;
    const QStringList before = Rows(allWorkRows);
    ASSERT_EQ(before.size(), 1);

    const QByteArray file = kBom +
                            (kHeading +
                             u"2021/04/05,一般会計,町内会員,四月分,1001,会費,5000,\r\n"
                             u"2021/03/31,一般会計,,前年度分,1001,会費,100,\r\n"
                             u"2021/04/06,一般会計,,不明,4444,雑収入,100,\r\n"
                             u"2021/04/07,一般会計,,両方,1001,会費,100,200\r\n"
                             u"2021/04/08,一般会計,,"_s +
                             QString(300, u'長') + u",2001,事業費,,300\r\n"_s)
                                .toUtf8() +
                            Cp932(u"2021/04/09,一般会計,鈴木,会費,1001,会費,100,\r\n"_s) +
                            // One record over two lines: the spreadsheet's row 8; the next record is row 9.
                            u"2021/04/10,一般会計,,\"二行の\r\n摘要\",1001,会費,100,\r\n"
                            u"2021/04/11,青年部,,,1001,会費,100,\r\n"_s.toUtf8();
    QStringList listed;
    QString caption;
    WhenModal<TTorikomiErrorForm>([&](TTorikomiErrorForm& refused) {
        caption = refused.Label1->text();
        for (int r = 0; r < refused.ErrorGrid->rowCount(); ++r)
            listed << refused.ErrorGrid->item(r, 0)->text() + u'|' + refused.ErrorGrid->item(r, 1)->text();
        WaitForFocusIn(refused);
        EXPECT_TRUE(refused.CloseBtn->hasFocus());
        Press(Qt::Key_Return);
        EnsureClosed(refused);
    });
    Import(*form, file);

    EXPECT_EQ(listed, (QStringList{
                          u"3|日付が会計期間の範囲外です。（2021/03/31）"_s,
                          u"4|科目(集計項目)が登録されていません。（4444）"_s,
                          u"5|収入と支出の両方に金額が入力されています。"_s,
                          u"6|摘要が50文字を超えています。（300文字）"_s,
                          u"7|文字コードが正しくありません。"_s,
                          u"8|摘要に改行などの制御文字があります。"_s,
                          u"9|会計区分が登録されていません。（青年部）"_s,
                      }));
    EXPECT_TRUE(caption.contains(u"7行は取り込めません"_s)) << caption.toStdString();
    // Row 2 was good, and is not imported either.
    EXPECT_EQ(Rows(allWorkRows), before);
    EXPECT_EQ(GridLines(*form), QStringList{u"04/01||会費|収入 会費|3,000|"_s});
    EXPECT_EQ(Query(u"select count(*) from MEISAI"_s), u"1"_s);
    EXPECT_EQ(dialogs.Shown().size(), 1u) << dialogs.Last().text.toStdString();  // the file dialog only
    EXPECT_TRUE(form->SaveBtn->isEnabled());
}

// A file beyond what one import takes is refused before any window opens for
// it, with the limit named, and the load's work rows stay as they were.
TEST_F(JournalImportTest, AFileBeyondTheLimitsIsRefusedAtOnce) {
    auto form = Open();
    Load(*form);
    const QString allWorkRows = u"select * from W_MEISAI order by SEQ_NO, KAIKEI_KUBUN"_s;
    const QStringList before = Rows(allWorkRows);
    QByteArray yearAndOneLine = kBom + kHeading.toUtf8();
    const QByteArray line = u"2021/04/05,一般会計,,会費,1001,会費,100,\r\n"_s.toUtf8();
    for (int i = 0; i <= kMaxImportLines; ++i)
        yearAndOneLine += line;
    const struct {
        const char* name;
        QByteArray bytes;
        qint64 size;  // the file made this large (sparse), when not 0
        QString message;
    } cases[] = {
        {"a first row of 1,000,001 columns", QByteArray(1000000, ',') + "\r\n", 0,
         u"1行目の列が多すぎるため取り込めません。"_s},
        {"a field of 5,000 bytes", "a," + QByteArray(5000, 'x') + "\r\n", 0,
         u"1行目のB列の項目が長すぎるため取り込めません。"_s},
        {"a heading and 100,001 lines", yearAndOneLine, 0, u"ファイルの行が多すぎるため取り込めません。"_s},
        {"65 MB", {}, 65LL * 1024 * 1024, u"ファイルが大きすぎるため取り込めません"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.File(u"大きすぎる%1.csv"_s.arg(++files));
        WriteFile(path, c.bytes);
        if (c.size > 0) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.resize(c.size));
        }
        dialogs.Clear();
        dialogs.QueueFile(path);
        Click(form->TorikomiBtn);
        Settle();
        ASSERT_EQ(dialogs.Shown().size(), 2u);  // the file dialog and the refusal
        EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Error);
        EXPECT_TRUE(dialogs.Last().text.startsWith(c.message)) << dialogs.Last().text.toStdString();
        EXPECT_TRUE(dialogs.Last().text.contains(u"\r\n"_s + path)) << dialogs.Last().text.toStdString();
        EXPECT_EQ(Rows(allWorkRows), before);
    }
}

TEST_F(JournalImportTest, ImportedLinesAreUnsavedUntilSavedAndCancelDropsThem) {
    auto form = Open();
    Load(*form);
    EXPECT_TRUE(form->TorikomiBtn->isEnabled());
    // The export's shape: a transfer stands in it twice, once in each division.
    Import(*form, kBom + (kHeading + u"2021/04/05,一般会計,町内会員,\"四月分, 会費\",1001,会費,5000,\r\n"
                                     u"2021/06/01,一般会計,,祭礼へ,6002,祭礼会計へ繰出,,500\r\n"
                                     u"2021/05/10,施設会計,,修繕,2001,事業費,,800\r\n"
                                     u"2021/06/01,祭礼会計,,祭礼へ,3000,一般会計より繰入,500,\r\n"_s)
                             .toUtf8());
    ASSERT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Message) << dialogs.Last().text.toStdString();
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"3行の明細を取り込みました。"_s))
        << dialogs.Last().text.toStdString();

    // Numbered from the sequence after the line the grid had started; the
    // transfer's halves share one number.
    EXPECT_EQ(WorkLines(*form), (QStringList{
                                    u"2|0|20210405|0405|町内会員|四月分, 会費|1001|5000|-|2"_s,
                                    u"3|0|20210601|0601|-|祭礼へ|6002|-|500|2"_s,
                                    u"3|2|20210601|0601|-|祭礼へ|3000|500|-|2"_s,
                                    u"4|3|20210510|0510|-|修繕|2001|-|800|2"_s,
                                }));
    EXPECT_EQ(GridLines(*form), (QStringList{u"04/05|町内会員|四月分, 会費|収入 会費|5,000|"_s,
                                             u"06/01||祭礼へ|支出 祭礼会計へ繰出||500"_s}));
    EXPECT_EQ(form->ZandakaEdit->text(), u"4,500"_s);
    // The cursor on the first line imported into the division shown.
    EXPECT_EQ(form->ClientDataSet1.FieldByName(u"SEQ_NO"_s).AsInteger(), 2);
    EXPECT_EQ(Query(u"select count(*) from MEISAI"_s), u"0"_s);

    Click(form->SaveBtn);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Message);  // nothing shown by the save
    EXPECT_EQ(Rows(u"select SEQ_NO, KAIKEI_KUBUN, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU from MEISAI "
                   u"order by SEQ_NO, KAIKEI_KUBUN"_s),
              (QStringList{u"2|0|20210405|町内会員|四月分, 会費|1001|5000|-"_s,
                           u"3|0|20210601|-|祭礼へ|6002|-|500"_s, u"3|2|20210601|-|祭礼へ|3000|500|-"_s,
                           u"4|3|20210510|-|修繕|2001|-|800"_s}));

    // Imported into the next load and cancelled: the saved year stays as it was.
    Load(*form);
    Import(*form, kBom + (kHeading + u"2021/07/01,一般会計,,七月,1001,会費,700,\r\n"_s).toUtf8());
    EXPECT_EQ(GridLines(*form).size(), 3);
    Click(form->CancelBtn);
    EXPECT_EQ(Query(u"select count(*) from MEISAI"_s), u"4"_s);
    Load(*form);
    EXPECT_EQ(GridLines(*form).size(), 2);
}

TEST_F(JournalImportTest, AnExcelFileInShiftJisIsMappedByItsHeadingIntoTheDivisionShown) {
    auto form = Open();
    Load(*form);
    ChooseDivision(*form, 3);
    ColumnMapping offered;
    QString fileLabel;
    WhenModal<TTorikomiSetteiForm>([&](TTorikomiSetteiForm& setting) {
        offered = setting.Mapping();
        fileLabel = setting.FileLabel->text();
        // Every column found: Enter imports.
        WaitForFocusIn(setting);
        EXPECT_TRUE(setting.TorikomiBtn->hasFocus());
        Press(Qt::Key_Return);
        EnsureClosed(setting);
    });
    Import(*form, Cp932(u"年月日,相手先,内容,科目,入金,出金\r\n"
                        u"2021/4/1,山田,会費,会費,\"1,000\",\r\n"
                        u"2021/4/2,髙橋商店,備品①,事業費,,2500\r\n"_s));

    EXPECT_TRUE(fileLabel.contains(u"Shift_JIS"_s)) << fileLabel.toStdString();
    ColumnMapping expected;
    expected.hizuke = 0;
    expected.aite = 1;
    expected.tekiyo = 2;
    expected.kamoku = 3;
    expected.kamokuBy = KamokuBy::Name;
    expected.syunyu = 4;
    expected.sisyutsu = 5;
    EXPECT_EQ(offered, expected);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"2行の明細を取り込みました。"_s))
        << dialogs.Last().text.toStdString();
    // (Lines 1 and 2 were the new lines the grid started in each division shown.)
    EXPECT_EQ(WorkLines(*form), (QStringList{u"3|3|20210401|0401|山田|会費|1001|1000|-|2"_s,
                                             u"4|3|20210402|0402|髙橋商店|備品①|2001|-|2500|2"_s}));
}

TEST_F(JournalImportTest, TheColumnsOfAFileWithoutHeadingAreChosenWithTheKeyboard) {
    auto form = Open();
    Load(*form);
    bool headingChecked = true;
    QStringList errors;
    WhenModal<TTorikomiSetteiForm>([&](TTorikomiSetteiForm& setting) {
        headingChecked = setting.HeadingCheck->isChecked();
        WaitForFocusIn(setting);
        EXPECT_TRUE(setting.HeadingCheck->hasFocus());
        // Nothing chosen yet: 取込 names what is missing and goes there.
        setting.TorikomiBtn->setFocus();
        Press(Qt::Key_Return);
        errors << dialogs.Last().text;
        EXPECT_TRUE(setting.HizukeCombo->hasFocus());
        // A column is chosen by typing its letter; Enter goes on to the next choice.
        Type(u"A"_s);
        Press(Qt::Key_Return);  // 入金先／支払先: none
        Press(Qt::Key_Return);  // 摘要: none
        Press(Qt::Key_Return);
        EXPECT_TRUE(setting.KamokuCombo->hasFocus());
        Type(u"B"_s);
        Press(Qt::Key_Return);  // by code
        Press(Qt::Key_Return);
        EXPECT_TRUE(setting.SyunyuCombo->hasFocus());
        Type(u"C"_s);
        Press(Qt::Key_Return);  // 支払金額: none
        Press(Qt::Key_Return);  // 入出金額: none
        Press(Qt::Key_Return);  // 残高: none
        Press(Qt::Key_Return);  // ルールに合わない行の科目: none
        Press(Qt::Key_Return);  // 会計区分: none
        Press(Qt::Key_Return);
        EXPECT_TRUE(setting.TorikomiBtn->hasFocus());
        Press(Qt::Key_Return);
        EnsureClosed(setting);
    });
    Import(*form, u"2021/4/1,1001,1000\r\n2021/4/2,2001,\r\n"_s.toUtf8());

    EXPECT_FALSE(headingChecked);
    EXPECT_EQ(errors, QStringList{u"日付の列を選んでください。"_s});
    EXPECT_EQ(WorkRows(*form), (QStringList{u"2|0|20210401|1001|1000|-"_s, u"3|0|20210402|2001|-|-"_s}));
}

// Three statements as banks write them, with the organisation's rules: every row
// lands on its item and division, an overlapping statement adds only its new
// rows, and a statement with a row deleted is caught by its balances.
TEST_F(JournalImportTest, BankStatementsWithRulesImportOnceAndBalance) {
    ImportRule kaihi;
    kaihi.target = RuleTarget::Tekiyo;
    kaihi.text = u"ｶｲﾋ"_s;
    kaihi.kamoku = 1001;
    ImportRule denki;
    denki.target = RuleTarget::Either;
    denki.match = RuleMatch::Pattern;
    denki.text = u"^電気|ﾃﾞﾝﾘﾖｸ"_s;
    denki.kamoku = 2001;
    denki.tekiyo = u"電気代"_s;
    ImportRule seisou;
    seisou.target = RuleTarget::Tekiyo;
    seisou.text = u"清掃"_s;
    seisou.kamoku = 2001;
    seisou.kaikeiKubun = 3;
    seisou.aite = u"清掃組合"_s;
    SaveImportRules(module.SQLConnection1, {kaihi, denki, seisou});
    auto form = Open();
    Load(*form);

    // One: Shift_JIS, western dates, the two amount columns and the balance, no item.
    ColumnMapping offered;
    WhenModal<TTorikomiSetteiForm>([&](TTorikomiSetteiForm& setting) {
        offered = setting.Mapping();
        WaitForFocusIn(setting);
        // The keyboard: to the item for rows no rule takes, 会費, then 取込.
        setting.DefaultKamokuCombo->setFocus();
        Type(u"1001"_s);
        setting.TorikomiBtn->setFocus();
        Press(Qt::Key_Return);
        EnsureClosed(setting);
    });
    QStringList shown;
    const auto acceptKakunin = [&] {
        WhenModal<TTorikomiKakuninForm>([&](TTorikomiKakuninForm& kakunin) {
            shown.clear();
            for (int r = 0; r < kakunin.RowGrid->rowCount(); ++r) {
                QStringList cells;
                cells << (kakunin.RowGrid->item(r, 0)->checkState() == Qt::Checked ? u"✓"_s : u"-"_s);
                for (int c = 1; c < kakunin.RowGrid->columnCount(); ++c)
                    cells << kakunin.RowGrid->item(r, c)->text();
                shown << cells.join(u'|');
            }
            WaitForFocusIn(kakunin);
            EXPECT_TRUE(kakunin.RowGrid->hasFocus());
            Press(Qt::Key_Tab);
            Press(Qt::Key_Return);  // 取込
            EnsureClosed(kakunin);
        });
    };
    acceptKakunin();
    Import(*form, Cp932(u"取引日,摘要,お支払金額,お預り金額,残高\r\n"
                        u"2021/4/5,ﾌﾘｺﾐ ｶｲﾋ ﾔﾏﾀﾞ,,\"3,000\",\"53,000\"\r\n"
                        u"2021/4/10,電気料金 4月分,\"2,500\",,\"50,500\"\r\n"
                        u"2021/4/12,集会所 清掃,\"1,000\",,\"49,500\"\r\n"
                        u"2021/4/20,利息,,1,\"49,501\"\r\n"_s));
    EXPECT_EQ(offered.hizuke, 0);
    EXPECT_EQ(offered.tekiyo, 1);
    EXPECT_EQ(offered.sisyutsu, 2);
    EXPECT_EQ(offered.syunyu, 3);
    EXPECT_EQ(offered.zandaka, 4);
    EXPECT_EQ(offered.kamoku, -1);
    EXPECT_EQ(shown, (QStringList{
                         u"✓|2|2021/04/05|一般会計||ﾌﾘｺﾐ ｶｲﾋ ﾔﾏﾀﾞ|収入 会費|3,000||ルール「ｶｲﾋ」"_s,
                         u"✓|3|2021/04/10|一般会計||電気代|支出 事業費||2,500|ルール「^電気|ﾃﾞﾝﾘﾖｸ」"_s,
                         u"✓|4|2021/04/12|施設会計|清掃組合|集会所 清掃|支出 事業費||1,000|ルール「清掃」"_s,
                         u"✓|5|2021/04/20|一般会計||利息|収入 会費|1||ルールなし"_s,
                     }));
    EXPECT_TRUE(
        dialogs.Last().text.contains(u"どのルールにも合わなかった行（科目を確かめてください）：5行目"_s))
        << dialogs.Last().text.toStdString();
    // Division, date, item, amounts, counterparty, description of every work row.
    const auto lines = [&] {
        return Rows(
            u"select KAIKEI_KUBUN, HIZUKE, KAMOKU, SYUNYU, SISYUTSU, AITE, TEKIYO from W_MEISAI "
            u"where JIKOKU = '%1' order by HIZUKE, KAIKEI_KUBUN"_s.arg(form->Jikoku));
    };
    const QStringList first{u"0|20210405|1001|3000|-|-|ﾌﾘｺﾐ ｶｲﾋ ﾔﾏﾀﾞ"_s, u"0|20210410|2001|-|2500|-|電気代"_s,
                            u"3|20210412|2001|-|1000|清掃組合|集会所 清掃"_s,
                            u"0|20210420|1001|1|-|-|利息"_s};
    EXPECT_EQ(lines(), first);

    // Two: UTF-8, era dates, one signed column; it overlaps the first by two rows.
    WhenModal<TTorikomiSetteiForm>([&](TTorikomiSetteiForm& setting) {
        offered = setting.Mapping();
        setting.DefaultKamokuCombo->setCurrentIndex(setting.DefaultKamokuCombo->findData(1001));
        setting.TorikomiBtn->click();
    });
    acceptKakunin();
    Import(*form, kBom +
                      u"日付,お取引内容,入出金額,差引残高\r\n"
                      u"R3.4.12,集会所 清掃,\"-1,000\",\"49,500\"\r\n"
                      u"令和3年4月20日,利息,1,\"49,501\"\r\n"
                      u"R03/05/06,ﾄｳﾎｸﾃﾞﾝﾘﾖｸ,△2600,\"46,901\"\r\n"
                      u"R03.05.07,ﾌﾘｺﾐ ｶｲﾋ ｽｽﾞｷ,3000,\"49,901\"\r\n"_s.toUtf8());
    EXPECT_EQ(offered.kingaku, 2);
    EXPECT_EQ(offered.zandaka, 3);
    ASSERT_EQ(shown.size(), 4);
    EXPECT_TRUE(shown[0].startsWith(u"-|2|2021/04/12|施設会計"_s)) << shown[0].toStdString();
    EXPECT_TRUE(shown[1].startsWith(u"-|3|2021/04/20|一般会計"_s)) << shown[1].toStdString();
    EXPECT_TRUE(shown[2].startsWith(u"✓|4|2021/05/06|一般会計||電気代|支出 事業費||2,600"_s))
        << shown[2].toStdString();
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"2行の明細を取り込みました。"_s))
        << dialogs.Last().text.toStdString();
    EXPECT_EQ(lines().join(u'\n').toStdString(),
              (first +
               QStringList{u"0|20210506|2001|-|2600|-|電気代"_s, u"0|20210507|1001|3000|-|-|ﾌﾘｺﾐ ｶｲﾋ ｽｽﾞｷ"_s})
                  .join(u'\n')
                  .toStdString());

    // Three: newest first, and the row of 6 May deleted from it.
    const QStringList before = lines();
    QStringList listed;
    WhenModal<TTorikomiSetteiForm>([&](TTorikomiSetteiForm& setting) { setting.TorikomiBtn->click(); });
    WhenModal<TTorikomiErrorForm>([&](TTorikomiErrorForm& refused) {
        for (int r = 0; r < refused.ErrorGrid->rowCount(); ++r)
            listed << refused.ErrorGrid->item(r, 0)->text() + u'|' + refused.ErrorGrid->item(r, 1)->text();
        refused.CloseBtn->click();
    });
    Import(*form, Cp932(u"年月日,摘要,入金,出金,残高\r\n"
                        u"2021/05/20,ﾌﾘｺﾐ ｶｲﾋ ｻﾄｳ,3000,,52901\r\n"
                        u"2021/05/07,ﾌﾘｺﾐ ｶｲﾋ ｽｽﾞｷ,3000,,49901\r\n"
                        u"2021/04/20,ﾌﾘｺﾐ ｶｲﾋ ﾀﾅｶ,1,,49501\r\n"_s));
    EXPECT_EQ(listed,
              QStringList{u"3|残高が合いません。前の行からの残高は52,501、ファイルの残高は49,901です。"
                          u"（行の抜けや重複がないか確かめてください）"_s});
    EXPECT_EQ(lines(), before);
}

TEST_F(JournalImportTest, TheButtonWaitsForALoadAndIsReachedWithTheKeyboard) {
    auto form = Open();
    EXPECT_FALSE(form->TorikomiBtn->isEnabled());
    Load(*form);
    form->AiteTourokuBtn->setFocus();
    Press(Qt::Key_Tab);
    EXPECT_TRUE(form->TorikomiBtn->hasFocus());
    dialogs.QueueFile(std::nullopt);  // the file dialog closed without a file
    Press(Qt::Key_Return);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::FileOpen);
    EXPECT_EQ(dialogs.Last().title, u"取り込むCSVファイル"_s);
    EXPECT_TRUE(WorkRows(*form).isEmpty());
    EXPECT_TRUE(form->SaveBtn->isEnabled());
}

// The sample organisation's year 2026 exported as 書出 writes it and imported
// into the same year emptied: the same lines come back, each transfer's halves under one number.
class SampleImportTest : public DataWindowTest {
  protected:
    SampleImportTest() {
        // The sample in place of the empty database, before anything connects.
        const QString sample = qEnvironmentVariable("TSUBAKI_APP_DIR") + u"/OrgDB/SampleDB/TSUBAKI.FDB"_s;
        QFile::remove(database.Path());
        if (!QFile::copy(sample, database.Path()))
            throw std::runtime_error("cannot copy the sample organisation database");
        QFile::setPermissions(database.Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        CurrentNendo = 2026;
        CurrentDantai = u"○○○○自治会"_s;
    }
    ~SampleImportTest() override { ClearLoginState(); }

    // The year's lines, each line's rows (its halves) together, without their numbers.
    QStringList Lines() {
        std::map<qint64, QStringList> halves;
        for (const auto& row :
             module.SQLConnection1
                 .Select(u"select SEQ_NO, KAIKEI_KUBUN, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, "
                         u"SISYUTSU from MEISAI where NENDO = 2026"_s)
                 .rows) {
            QStringList values;
            for (std::size_t i = 1; i < row.size(); ++i)
                values << (row[i].IsNull() ? u"-"_s : row[i].AsString());
            halves[row[0].AsInteger()] << values.join(u'|');
        }
        QStringList lines;
        for (auto& [seqNo, rows] : halves) {
            rows.sort();
            lines << rows.join(u" + "_s);
        }
        lines.sort();
        return lines;
    }

    // The year's saved lines as 書出 writes them.
    QByteArray Exported() {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        WriteJournalCsv(module.SQLConnection1, {.nendo = 2026, .key = std::nullopt}, out);
        return out.data();
    }
};

TEST_F(SampleImportTest, TheExportedYearImportedIntoItselfEmptiedGivesTheSameLines) {
    const QStringList saved = Lines();
    ASSERT_GT(saved.size(), 50);
    ASSERT_TRUE(saved.join(u'\n').contains(u" + "_s)) << "the sample year has transfers";
    const QByteArray file = Exported();
    Execute(u"delete from MEISAI where NENDO = 2026"_s);

    db::EnsureSharingObjects(module.SQLConnection1);
    auto form = std::make_unique<TMeisaiNyuryokuForm>();
    ShowActive(*form);
    JournalTestAccess::Load(*form, u"2026"_s);
    TempFolder folder;
    WriteFile(folder.File(u"明細.csv"_s), file);
    dialogs.QueueFile(folder.File(u"明細.csv"_s));
    QTest::mouseClick(form->TorikomiBtn, Qt::LeftButton);
    Settle();
    ASSERT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Message) << dialogs.Last().text.toStdString();
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"%1行の明細を取り込みました。"_s.arg(saved.size())))
        << dialogs.Last().text.toStdString();
    QApplication::setActiveWindow(form.get());
    QTest::mouseClick(form->SaveBtn, Qt::LeftButton);
    Settle();
    EXPECT_EQ(Lines(), saved);
}
