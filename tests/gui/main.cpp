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
    // PADO_TEST_PLATFORM=xcb runs them on the display instead, to see the geometry under a window manager.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (const char* chosen = std::getenv("PADO_TEST_PLATFORM"))
        setenv("QT_QPA_PLATFORM", chosen, 1);
    else if (!platform || std::string(platform).rfind("offscreen", 0) != 0)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Remembered window places go to a folder of this run, never to the user's settings.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
