// The one main of the GUI tests: the platform must be chosen before the QApplication exists, and
// every test shares that application.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

int main(int argc, char** argv)
{
    // A screen configuration of the offscreen platform given by the test's environment is kept.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || std::string(platform).rfind("offscreen", 0) != 0)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Remembered window places go to a folder of this run, never to the user's settings.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
