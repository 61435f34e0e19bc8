#include <QApplication>

#include <gtest/gtest.h>

// The widget tests need one application object for the whole run; without a display they use
// the offscreen platform (test discovery runs the program without the tests' environment).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
