#include <gtest/gtest.h>

#include "statements/StatementRules.h"
#include "statements/YosanRules.h"

using namespace Qt::Literals::StringLiterals;

TEST(YosanRules, Placeholder) {
    EXPECT_EQ(SignedNet(1, 5, 3), 2);
}
