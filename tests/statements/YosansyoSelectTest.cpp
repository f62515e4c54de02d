// "予算書出力": the list file, the remembered choice, 設定値保存 and 実行 on the
// calling window's work rows.

#include "core/ComputerName.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "statements/YosansyoSelectUnit.h"
#include "tests/reports/ReportFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

class YosansyoSelectTest : public ReportFixture {
  protected:
    void SetUp() override {
        ReportFixture::SetUp();
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("TSUBAKI_APP_DIR") + u"/YosansyoList.txt"_qs,
                                ProgramFolder() + u"/YosansyoList.txt"_qs));
    }

    void TearDown() override {
        form_.reset();
        ReportFixture::TearDown();
    }

    void SetRemembered(const db::Value& key, const db::Value& zeroPrint) {
        Exec(u"update NENDO set YOSANSYO_SYOKICHI = :K, YOSAN_ZERO_PRINT = :Z where NENDO = 2021"_qs,
             {{u"K"_qs, key}, {u"Z"_qs, zeroPrint}});
    }

    TYosansyoSelectForm& Open() {
        form_ = std::make_unique<TYosansyoSelectForm>(2021, kJikoku, nullptr);
        form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        return *form_;
    }

    int SelectedLine() const {
        return form_->ListView1->indexOfTopLevelItem(form_->ListView1->currentItem()) + 1;
    }

    std::unique_ptr<TYosansyoSelectForm> form_;
};

TEST_F(YosansyoSelectTest, OffersTheListAndRestoresTheRememberedChoice) {
    struct Case {
        const char* what;
        bool yearRow;
        db::Value key;
        db::Value zeroPrint;
        int line;
        bool checked;
    };
    const Case cases[] = {
        {"remembered layout, zero items printed", true, db::Value(u"予算書６"_qs), db::Value(1), 7, false},
        {"zero option 0", true, db::Value(u"予算書１４"_qs), db::Value(0), 15, true},
        {"zero option NULL (not upgraded)", true, db::Value(u"予算書６"_qs), db::Value(), 7, true},
        {"key no longer listed", true, db::Value(u"予算書９９"_qs), db::Value(1), 1, false},
        {"no row for the year", false, db::Value(), db::Value(), 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Exec(u"delete from NENDO"_qs);
        if (c.yearRow) {
            AddYear(2021, u"20210401"_qs, u"20220331"_qs);
            SetRemembered(c.key, c.zeroPrint);
        }
        TYosansyoSelectForm& form = Open();
        ASSERT_EQ(form.ListView1->topLevelItemCount(), 16);
        EXPECT_EQ(form.ListView1->topLevelItem(0)->text(0), u"簡易予算書"_qs);
        EXPECT_EQ(form.ListView1->topLevelItem(14)->text(0), u"予算書１４"_qs);
        EXPECT_FALSE(form.ListView1->topLevelItem(1)->text(1).isEmpty());
        EXPECT_EQ(SelectedLine(), c.line);
        EXPECT_EQ(form.ZeroCheckBox->isChecked(), c.checked);
        EXPECT_EQ(QApplication::focusWidget(), form.ListView1);
        // Tab runs list → 実行 → 設定値保存 → close; the check box is passed by.
        QTest::keyClick(form.ListView1, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), form.ExecBtn);
        QTest::keyClick(form.ExecBtn, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), form.SaveBtn);
        QTest::keyClick(form.SaveBtn, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), form.CloseBtn);
    }
}

TEST_F(YosansyoSelectTest, SaveRemembersTheSelectedLayoutAndZeroOption) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    TYosansyoSelectForm& form = Open();
    form.ListView1->setCurrentItem(form.ListView1->topLevelItem(8));
    form.ZeroCheckBox->setChecked(true);
    QTest::mouseClick(form.SaveBtn, Qt::LeftButton);
    auto row = module_->SQLConnection1.Select(u"select YOSANSYO_SYOKICHI, YOSAN_ZERO_PRINT from NENDO"_qs).rows;
    EXPECT_EQ(row.at(0)[0].AsString(), u"予算書８"_qs);
    EXPECT_EQ(row.at(0)[1].AsInteger(), 0);
    form.ZeroCheckBox->setChecked(false);
    QTest::mouseClick(form.SaveBtn, Qt::LeftButton);
    row = module_->SQLConnection1.Select(u"select YOSAN_ZERO_PRINT from NENDO"_qs).rows;
    EXPECT_EQ(row.at(0)[0].AsInteger(), 1);
}

// The seventh line is 予算書６, made by the module with subtotal rows, from the
// calling window's work rows; the window stays open for the next statement.
TEST_F(YosansyoSelectTest, ExecuteMakesTheSelectedStatementFromTheWorkRows) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    AddBunrui(10, u"会費"_qs, 1, 1);
    AddKamoku(110, u"一般会費"_qs, 10);
    AddKamoku(120, u"特別会費"_qs, 10, 2);
    for (const auto& [kamoku, yosan] : {std::pair{110, 30000}, std::pair{120, 5000}}) {
        Exec(u"insert into W_YOSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN, SYUSI_KUBUN, BUNRUI,"
             " BUNRUI_JUNJYO, KAMOKU_JUNJYO) values (:C, :J, 2021, 0, :K, :Y, 1, 10, 1, :K)"_qs,
             {{u"C"_qs, GetComputerNameStr()}, {u"J"_qs, kJikoku}, {u"K"_qs, kamoku}, {u"Y"_qs, yosan}});
    }
    TYosansyoSelectForm& form = Open();
    form.ListView1->setCurrentItem(form.ListView1->topLevelItem(6));
    QTest::mouseClick(form.ExecBtn, Qt::LeftButton);
    ASSERT_EQ(form.LastSavedFiles().size(), 1);
    EXPECT_TRUE(QFileInfo(form.LastSavedFiles().front()).fileName().startsWith(u"予算書６"_qs));
    sheet::Worksheet& sheet = SavedBook(form.LastSavedFiles()).Sheets().Item(1);
    EXPECT_EQ(CellText(sheet, u"B6"_qs), u"一般会費"_qs);
    EXPECT_EQ(CellText(sheet, u"C7"_qs), u"5000"_qs);
    EXPECT_EQ(CellText(sheet, u"B8"_qs), u"（小    計）"_qs);
    EXPECT_EQ(CellFormula(sheet, u"C8"_qs), u"=SUBTOTAL(9,C6:C7)"_qs);
    EXPECT_TRUE(form.isVisible());
}

// A list that cannot be read, or whose blank line would move every later
// statement to another module, is reported and offers nothing; blank lines at
// its end move nothing and are left out.
TEST_F(YosansyoSelectTest, UnusableListFileIsReportedAndOffersNothing) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    SetRemembered(db::Value(u"予算書６"_qs), db::Value(0));
    const QString list = ProgramFolder() + u"/YosansyoList.txt"_qs;
    struct Case {
        const char* what;
        QByteArray content;  // empty: no file
        QString message;     // empty: no message, `items` offered
        int items;
    };
    const Case cases[] = {
        {"missing", {}, u"YosansyoList.txt」を開けません。"_qs, 0},
        {"blank line", "簡易予算書=a\r\n予算書１=b\r\n\r\n予算書２=c\r\n",
         u"YosansyoList.txt」の3行目が空行です。"_qs, 0},
        {"blank lines at the end", "簡易予算書=a\n予算書１=b\n\n \n", {}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(list);
        if (!c.content.isEmpty()) {
            QFile file(list);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.content);
        }
        TYosansyoSelectForm& form = Open();
        EXPECT_EQ(form.ListView1->topLevelItemCount(), c.items);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(dialogs_.Shown().empty());
            continue;
        }
        ASSERT_EQ(dialogs_.Shown().size(), 1U);
        EXPECT_EQ(dialogs_.Last().kind, RecordedDialog::Kind::Error);
        EXPECT_TRUE(dialogs_.Last().text.contains(c.message)) << dialogs_.Last().text.toStdString();
        dialogs_.Clear();
        // The remembered choice was not read.
        EXPECT_FALSE(form.ZeroCheckBox->isChecked());
        QTest::mouseClick(form.ExecBtn, Qt::LeftButton);
        EXPECT_TRUE(form.LastSavedFiles().isEmpty());
        EXPECT_TRUE(dialogs_.Shown().empty());
    }
}

}  // namespace
