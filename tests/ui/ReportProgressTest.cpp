#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <QTest>

#include "ui/ReportProgressDialog.h"

TEST(ReportProgressDialog, HourglassForTheRunAndABarNamingTheStepOnceItTakesAMoment) {
    QWidget owner;
    owner.show();
    {
        TReportProgressDialog quick(&owner, QStringLiteral("収支明細表"), 60000);
        quick.Busy(true);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        quick.Step(QStringLiteral("「一般会計」を作成しています。"), 0, 3);
        EXPECT_EQ(quick.Dialog(), nullptr);  // a quick run shows the hourglass only
        quick.Busy(false);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    TReportProgressDialog slow(&owner, QStringLiteral("収支明細表"), 0);
    slow.Busy(true);
    slow.Step(QStringLiteral("「祭礼会計」を作成しています。"), 1, 3);
    ASSERT_NE(slow.Dialog(), nullptr);
    EXPECT_TRUE(slow.Dialog()->isVisible());
    EXPECT_EQ(slow.Dialog()->windowTitle(), QStringLiteral("収支明細表"));
    EXPECT_EQ(slow.Dialog()->labelText(), QStringLiteral("「祭礼会計」を作成しています。  (2/3)"));
    EXPECT_EQ(slow.Dialog()->value(), 1);
    EXPECT_EQ(slow.Dialog()->maximum(), 3);
    slow.Busy(false);  // after a failure as well as at the end
    EXPECT_EQ(slow.Dialog(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
