#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSysInfo>

#include "core/ComputerName.h"
#include "core/Errors.h"
#include "core/Ver_Info.h"
#include "tests/support/TempFolder.h"

TEST(VerInfo, ProgramFileCarriesItsVersion) {
    const TVerInfo own;
    const TVerInfo byName(QCoreApplication::applicationFilePath());
    for (const TVerInfo* info : {&own, &byName}) {
        EXPECT_EQ(info->FileVersion(), QStringLiteral("1.0.4.0"));
        EXPECT_EQ(info->Value(u"fileversion"), QStringLiteral("1.0.4.0"));
        EXPECT_FALSE(info->LegalCopyright().isEmpty());
        EXPECT_EQ(info->LegalCopyright(), info->Value(u"LegalCopyright"));
        EXPECT_FALSE(info->Value(u"ProductName").isEmpty());
        EXPECT_TRUE(info->Value(u"NoSuchKey").isEmpty());
    }
}

TEST(VerInfo, OtherFilesHaveNoVersion) {
    TempFolder temp;
    WriteFile(temp.File(QStringLiteral("tsubaki")), "not a program");
    for (const QString& file :
         {temp.File(QStringLiteral("tsubaki")), temp.File(QStringLiteral("missing")), QString()}) {
        SCOPED_TRACE(file.toStdString());
        try {
            TVerInfo info(file);
            ADD_FAILURE() << "version found";
        } catch (const EAppError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("バージョン情報が取得できません."));
        }
    }
}

TEST(ComputerName, IsTheHostNameCutTo15Characters) {
    const QString name = GetComputerNameStr();
    EXPECT_FALSE(name.isEmpty());
    EXPECT_LE(name.size(), 15);
    EXPECT_EQ(name, QSysInfo::machineHostName().left(15));
}
