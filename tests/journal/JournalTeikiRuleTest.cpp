// The journal window's recurring lines (定期明細の作成) and its import rules
// window (取込ルール設定), driven as the user drives them.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include "journal/ImportRules.h"
#include "journal/TeikiMeisai.h"
#include "journal/TeikiMeisaiUnit.h"
#include "journal/TorikomiKakuninUnit.h"
#include "journal/TorikomiRuleUnit.h"
#include "journal/TorikomiSetteiUnit.h"
#include "tests/journal/JournalFixture.h"
#include "tests/support/TempFolder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

void WaitForFocusIn(QWidget& window) {
    for (int i = 0; i < 200 && !window.isAncestorOf(QApplication::focusWidget()); ++i)
        QTest::qWait(10);
}

QStringList Listed(const QTableWidget* grid, int columns) {
    QStringList rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
        rows << cells.join(u'|');
    }
    return rows;
}

}  // namespace

class JournalTeikiRuleTest : public JournalTest {};

TEST_F(JournalTeikiRuleTest, RecurringLinesForTwelveMonthsAreMadeOnce) {
    TeikiTemplate rent;
    rent.kamoku = 2001;
    rent.tekiyo = u"集会所 家賃"_s;
    rent.sisyutsu = 3000;
    rent.hi = 31;
    rent.months.fill(true);
    TeikiTemplate fee;
    fee.kaikeiKubun = 2;
    fee.kamoku = 1001;
    fee.tekiyo = u"祭礼 協賛金"_s;
    fee.syunyu = 10000;
    fee.hi = 10;
    fee.months[3] = fee.months[9] = true;  // April and October
    SaveTeikiTemplates(module.SQLConnection1, {rent, fee});
    EXPECT_EQ(LoadTeikiTemplates(module.SQLConnection1), (std::vector<TeikiTemplate>{rent, fee}));

    auto form = Open();
    Load(*form);
    const auto run = [&] {
        WhenModal<TTeikiSakuseiForm>([&](TTeikiSakuseiForm& sakusei) {
            WaitForFocusIn(sakusei);
            // The whole year is offered; Tab, Tab and Enter make it.
            EXPECT_TRUE(sakusei.FromCombo->hasFocus());
            EXPECT_EQ(sakusei.FromMonth(), u"202104"_s);
            EXPECT_EQ(sakusei.ToMonth(), u"202203"_s);
            Press(Qt::Key_Tab);
            Press(Qt::Key_Tab);
            EXPECT_TRUE(sakusei.SakuseiBtn->hasFocus());
            Press(Qt::Key_Return);
            if (sakusei.isVisible())
                sakusei.reject();
        });
        Click(form->TeikiBtn);
        QApplication::setActiveWindow(form.get());
        Settle();
    };
    run();
    EXPECT_EQ(dialogs.Last().text, u"14行の定期明細を作成しました。まだ保存していません。"_s);
    const QString made =
        u"select KAIKEI_KUBUN, HIZUKE, KAMOKU, SYUNYU, SISYUTSU from W_MEISAI where JIKOKU = "
        u"'%1' order by HIZUKE, KAIKEI_KUBUN"_s.arg(form->Jikoku);
    const QStringList lines = Rows(made);
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{u"2|20210410|1001|10000|-"_s, u"0|20210430|2001|-|3000"_s,
                                            u"0|20210531|2001|-|3000"_s}));
    EXPECT_TRUE(lines.contains(u"0|20220228|2001|-|3000"_s));
    EXPECT_TRUE(lines.contains(u"2|20211010|1001|10000|-"_s));

    // A second run adds nothing.
    run();
    EXPECT_EQ(dialogs.Last().text, u"作成する明細はありません。選んだ月の定期明細は作成済みです。"_s);
    EXPECT_EQ(Rows(made), lines);
    EXPECT_EQ(Query(u"select count(*) from MEISAI"_s), u"0"_s) << "unsaved until 保存";
}

TEST_F(JournalTeikiRuleTest, RulesAreAddedEditedOrderedDeletedAndTriedOnAFile) {
    std::vector<ImportItemName> items{{1001, u"収入 会費"_s}, {2001, u"支出 事業費"_s}};
    std::vector<ImportDivision> divisions{{0, u"一般会計"_s}, {3, u"施設会計"_s}};
    TTorikomiRuleForm form(module.SQLConnection1, items, divisions);
    form.show();
    Settle();
    const auto add = [&](const QString& text, int kamoku) {
        form.MojiEdit->setText(text);
        form.KamokuCombo->setCurrentIndex(form.KamokuCombo->findData(kamoku));
        form.TsuikaBtn->click();
    };
    add(u"会費"_s, 1001);
    add(u"電気"_s, 2001);
    // Refused: no item.
    form.MojiEdit->setText(u"水道"_s);
    form.KamokuCombo->setCurrentIndex(0);
    form.TsuikaBtn->click();
    EXPECT_EQ(dialogs.Last().text, u"科目(集計項目)を入力してください。"_s);
    EXPECT_TRUE(form.KamokuCombo->hasFocus());

    // The second rule, chosen, edited and moved up; then the first deleted.
    form.RuleGrid->setCurrentCell(0, 0);
    form.RuleGrid->setCurrentCell(1, 0);
    EXPECT_EQ(form.MojiEdit->text(), u"電気"_s);
    form.KubunCombo->setCurrentIndex(form.KubunCombo->findData(3));
    form.HenkouBtn->click();
    form.UeBtn->click();
    EXPECT_EQ(Listed(form.RuleGrid, 6),
              (QStringList{u"1|摘要か入金先／支払先|電気|を含む|支出 事業費|施設会計"_s,
                           u"2|摘要か入金先／支払先|会費|を含む|収入 会費|（明細の会計区分）"_s}));
    EXPECT_EQ(Rows(u"select JUNJYO, MOJI, KAMOKU, KAIKEI_KUBUN from TORIKOMI_RULE order by JUNJYO"_s),
              (QStringList{u"1|電気|2001|3"_s, u"2|会費|1001|-"_s}));

    // Tried on a file: each row with its rule.
    TempFolder folder;
    const QString path = folder.File(u"通帳.csv"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        u"日付,摘要,お預り金額\r\n2021/4/1,電気料金,100\r\n2021/4/2,会費 山田,200\r\n2021/4/3,利息,1\r\n"_s
            .toUtf8());
    file.close();
    dialogs.QueueFile(path);
    form.TamesuBtn->click();
    Settle();
    EXPECT_EQ(Listed(form.TestGrid, 5),
              (QStringList{u"2||電気料金|1. 電気|支出 事業費"_s, u"3||会費 山田|2. 会費|収入 会費"_s,
                           u"4||利息|（ルールなし）|"_s}));
    EXPECT_TRUE(form.TestLabel->text().contains(u"ルールに合わない行は1行"_s))
        << form.TestLabel->text().toStdString();

    form.RuleGrid->setCurrentCell(1, 0);
    dialogs.QueueAnswer(ModalResult::Yes);
    form.SakujyoBtn->click();
    EXPECT_EQ(Rows(u"select JUNJYO, MOJI from TORIKOMI_RULE"_s), QStringList{u"1|電気"_s});
    form.close();
}

TEST_F(JournalTeikiRuleTest, ARuleIsMadeFromAJournalLine) {
    auto form = Open();
    Load(*form);
    TypeLine({u"0405"_s, u"東北電力"_s, u"電気代 4月分"_s, u"2001"_s, {}, u"2500"_s});
    form->ClientDataSet1.First();
    ImportRule proposed;
    WhenModal<TTorikomiRuleForm>([&](TTorikomiRuleForm& rules) {
        WaitForFocusIn(rules);
        EXPECT_TRUE(rules.MojiEdit->hasFocus());
        proposed.text = rules.MojiEdit->text();
        proposed.kamoku = rules.KamokuCombo->currentData().toInt();
        proposed.aite = rules.AiteEdit->text();
        proposed.kaikeiKubun = rules.KubunCombo->currentData().toInt();
        rules.TsuikaBtn->click();
        rules.CloseBtn->click();
    });
    Click(form->RuleFromLineBtn);
    QApplication::setActiveWindow(form.get());
    Settle();
    EXPECT_EQ(proposed.text, u"電気代 4月分"_s);
    EXPECT_EQ(proposed.kamoku, 2001);
    EXPECT_EQ(proposed.aite, u"東北電力"_s);
    EXPECT_EQ(proposed.kaikeiKubun, 0);
    EXPECT_EQ(Rows(u"select TAISYO, MOJI, KAMOKU, KAIKEI_KUBUN, AITE, TEKIYO from TORIKOMI_RULE"_s),
              QStringList{u"1|電気代 4月分|2001|0|東北電力|電気代 4月分"_s});
}

// Run by hand (SCREENSHOT_DIR set): the rules window tried on a file, the import
// preview with a probable duplicate and a row no rule takes, and the recurring
// lines' windows, each drawn to a PNG.
TEST_F(JournalTeikiRuleTest, DISABLED_Screenshots) {
    const QString out = QString::fromLocal8Bit(qgetenv("SCREENSHOT_DIR"));
    ASSERT_FALSE(out.isEmpty());
    const auto shoot = [&](QWidget& window, const QString& name) {
        window.resize(window.sizeHint().expandedTo(window.size()));
        Settle();
        QTest::qWait(300);
        window.grab().save(out + u"/"_s + name + u".png"_s);
    };
    ImportRule kaihi = RuleFromLine({}, u"ｶｲﾋ"_s, 1001, 0);
    kaihi.kaikeiKubun.reset();
    kaihi.tekiyo.clear();
    ImportRule denki = RuleFromLine(u"東北電力"_s, u"電気"_s, 2001, 0);
    denki.tekiyo = u"電気代"_s;
    SaveImportRules(module.SQLConnection1, {kaihi, denki});
    TempFolder folder;
    const QString path = folder.File(u"通帳.csv"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        u"取引日,摘要,お支払金額,お預り金額,残高\r\n2021/4/5,ﾌﾘｺﾐ ｶｲﾋ ﾔﾏﾀﾞ,,3000,53000\r\n"
        u"2021/4/10,電気料金 4月分,2500,,50500\r\n2021/4/20,利息,,1,50501\r\n"_s.toUtf8());
    file.close();
    {
        std::vector<ImportItemName> items{{1001, u"収入 会費"_s}, {2001, u"支出 事業費"_s}};
        std::vector<ImportDivision> divisions{{0, u"一般会計"_s}, {3, u"施設会計"_s}};
        TTorikomiRuleForm rules(module.SQLConnection1, items, divisions);
        rules.show();
        dialogs.QueueFile(path);
        rules.TamesuBtn->click();
        shoot(rules, u"rules-window"_s);
        rules.close();
        TTeikiMeisaiForm teiki(module.SQLConnection1, items, divisions);
        teiki.show();
        teiki.KamokuCombo->setCurrentIndex(2);
        teiki.TekiyoEdit->setText(u"集会所 家賃"_s);
        teiki.SisyutsuEdit->setText(u"3000"_s);
        teiki.HiSpin->setValue(31);
        teiki.TsuikaBtn->click();
        shoot(teiki, u"teiki-window"_s);
        teiki.close();
    }
    auto form = Open();
    Load(*form);
    TypeLine({u"0405"_s, {}, u"ﾌﾘｺﾐ ｶｲﾋ ﾔﾏﾀﾞ"_s, u"1001"_s, u"3000"_s, {}});
    WhenModal<TTorikomiSetteiForm>([&](TTorikomiSetteiForm& setting) {
        setting.DefaultKamokuCombo->setCurrentIndex(setting.DefaultKamokuCombo->findData(1001));
        shoot(setting, u"import-mapping"_s);
        setting.TorikomiBtn->click();
    });
    WhenModal<TTorikomiKakuninForm>([&](TTorikomiKakuninForm& kakunin) {
        shoot(kakunin, u"import-preview"_s);
        kakunin.TorikomiBtn->click();
    });
    dialogs.QueueFile(path);
    Click(form->TorikomiBtn);
    Settle();
    shoot(*form, u"journal-after-import"_s);
}
