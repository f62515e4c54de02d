// The program's connection module and the way code reaches it.

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "db/DataModule.h"
#include "platform/Folders.h"
#include "tests/support/ScratchDatabase.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(DataModule1, IsTheInstalledModuleAndTheInstallationNests) {
    ScratchDatabase scratch;
    EXPECT_THROW(DataModule1(), std::logic_error);
    TDataModule1 outer(scratch.Provider());
    DataModuleInstallation installOuter(outer);
    {
        TDataModule1 inner(scratch.Provider());
        DataModuleInstallation installInner(inner);
        EXPECT_EQ(&DataModule1(), &inner);
    }
    EXPECT_EQ(&DataModule1(), &outer);
    auto use = DataModule1().SQLConnection1.UseDataset();
    EXPECT_EQ(DataModule1().SQLConnection1.Select(u"select KY from KANRI"_s).rows.size(), 1u);
    EXPECT_TRUE(outer.SQLConnection1.Connected());
}

}  // namespace

namespace {

// The program's module looks the database up in the registry by CurrentDantai at
// every connect, so a changed organisation is reached after the next connect.
TEST(DataModule1, ConnectsToTheDatabaseOfTheOrganisationLoggedIn) {
    TempFolder programFolder;
    platform::OverrideProgramFolder(programFolder.Path());
    ScratchDatabase a;
    ScratchDatabase b;
    WriteDBListEntry(u"東町会"_s, a.Path());
    WriteDBListEntry(u"西町会"_s, b.Path());
    {
        TDataModule1 setup(b.Provider());
        setup.SQLConnection1.Execute(u"update KANRI set DANTAIMEI = '西町会' where (KY = 1)"_s);
    }

    TDataModule1 module;
    const auto dantaimei = [&module] {
        return module.SQLConnection1.Select(u"select DANTAIMEI from KANRI where (KY = 1)"_s).rows.at(0).at(0);
    };
    CurrentDantai = u"東町会"_s;
    EXPECT_TRUE(dantaimei().IsNull());
    CurrentDantai = u"西町会"_s;
    EXPECT_EQ(dantaimei().AsString(), u"西町会"_s);
    CurrentDantai = u"北町会"_s;
    try {
        dantaimei();
        ADD_FAILURE() << "an organisation without a registry entry connected";
    } catch (const EAppError& e) {
        EXPECT_EQ(e.Message(), u"北町会 のデータベースが見つかりません。"_s);
    }
    CurrentDantai.clear();
    platform::OverrideProgramFolder({});
}

}  // namespace
