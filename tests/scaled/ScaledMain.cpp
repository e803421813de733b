// Test main for a screen scaled by 2: one offscreen QApplication on it.

#include <QApplication>
#include <QCursor>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + VISTOREL_SCALED_CONFIG);
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QCursor::setPos(-1000, -1000);
    return RUN_ALL_TESTS();
}
