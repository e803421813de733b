// Test main: one offscreen QApplication for every test of the program.

#include <QApplication>
#include <QCursor>
#include <ctime>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + VISTOREL_OFFSCREEN_CONFIG);
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    // A time zone other than UTC (and without summer time), so that a time
    // kept in local time where UTC belongs, or the other way round, shows as
    // a wrong hour. The programs a test starts inherit it.
    qputenv("TZ", "Europe/Moscow");
    tzset();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QCursor::setPos(-1000, -1000);
    return RUN_ALL_TESTS();
}
