// The desktop program's tests run in one offscreen Qt application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "QtTextMetrics.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // User settings (the recent files) go to a test location, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    // Each test process has a settings folder of its own: tests run side by
    // side must not share a recent-file list.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    velkor::UseQtTextMetrics();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
