// The program's connection module and the way code reaches it.

#include "db/DataModule.h"
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
