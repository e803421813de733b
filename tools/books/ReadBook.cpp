// Reads one text or book as the program does and prints the lines it gave,
// or the message it was refused with, and the time the reading took.

#include "books/Document.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vistorel-read-book FILE\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    try {
        const vistorel::Document document = vistorel::ReadDocument(QString::fromLocal8Bit(argv[1]));
        std::printf("read: %lld lines\n", static_cast<long long>(document.Lines.size()));
        if (!document.Notice.isEmpty()) std::printf("notice: %s\n", qUtf8Printable(document.Notice));
    } catch (const vistorel::Error& error) {
        std::printf("refused: %s\n", qUtf8Printable(error.Message()));
        status = 1;
    }
    std::printf("ms: %lld\n", static_cast<long long>(clock.elapsed()));
    return status;
}
