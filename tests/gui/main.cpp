// The desktop program's tests run in one offscreen Qt application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "QtTextMetrics.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // User settings (the recent files) go to a test location, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    velkor::UseQtTextMetrics();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
