// Runs the window's tests inside a Qt application. The panel tests need no display and run on
// the offscreen platform; the whole window, with its web panes, runs under a virtual X server.

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef PLATTER_WINDOW_TESTS
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
