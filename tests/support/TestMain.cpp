// Test main: one offscreen QApplication for every test of the program.

#include <QApplication>
#include <QCursor>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + VISTOREL_OFFSCREEN_CONFIG);
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QCursor::setPos(-1000, -1000);
    return RUN_ALL_TESTS();
}
