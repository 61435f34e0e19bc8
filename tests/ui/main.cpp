#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

// The widget tests need one application object for the whole run; without a display they use
// the offscreen platform (test discovery runs the program without the tests' environment).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
#ifdef _WIN32
    // Qt's offscreen platform for Windows reads fonts only from QT_QPA_FONTDIR and knows no
    // generic family names; scripts/test-windows.sh points it at the fonts of the Linux tests.
    if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
        QFont::insertSubstitution(QStringLiteral("Sans Serif"), QStringLiteral("DejaVu Sans"));
#endif
    return RUN_ALL_TESTS();
}
