// 登録用紙: the planning form beside the program is opened as it is, never
// changed; a missing form is reported with the reason.

#include "core/Errors.h"
#include "reports/TorokuYousi.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/reports/ReportFixture.h"

#include <QFile>

namespace {

using TorokuYousiTest = ReportFixture;

TEST_F(TorokuYousiTest, OpensTheFormItselfAndLeavesItUnchanged) {
    const QString path = TorokuYousiPath();
    const QByteArray before = ReadFile(path);
    ASSERT_FALSE(before.isEmpty());
    EXPECT_EQ(OpenTorokuYousi(), path);
    EXPECT_EQ(OpenTorokuYousi(), path) << "a second press opens it again";
    EXPECT_EQ(ReadFile(path), before);
    sheet::Worksheet& sheet = reader_.Workbooks().Open(path).Sheets().Item(1);
    EXPECT_EQ(CellText(sheet, u"A1"_qs), u"科目分類・科目（集計項目）登録用紙"_qs);
    EXPECT_EQ(CellText(sheet, u"B5"_qs), u"科目分類名"_qs);
}

TEST_F(TorokuYousiTest, MissingFormIsReported) {
    ASSERT_TRUE(QFile::remove(TorokuYousiPath()));
    EXPECT_THROW(OpenTorokuYousi(), EAppError);
}

}  // namespace
