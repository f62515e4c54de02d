// Test entry: a QApplication on the offscreen platform, then GoogleTest. A test
// program also serves as the validating process of the database code it runs, as
// the program does.

#include <gtest/gtest.h>

#include <QApplication>

#include "db/ValidationProcess.h"

int main(int argc, char** argv) {
    db::ServeValidationRequest(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
