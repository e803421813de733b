// The UI monkey: random input across every window of the program, seeded
// and repeatable, watched for crashes (and, in the sanitizer build, for every
// sanitizer report), hangs and growing memory.
//
//   vistorel-monkey [--events N] [--seed S] [--rss-bound-mb M] [--heap-bound-mb H] [--hang-seconds T]
//                   [--skip WINDOW,...]
//
// MONKEY_EVENTS, MONKEY_SEED, MONKEY_RSS_BOUND_MB, MONKEY_HEAP_BOUND_MB,
// MONKEY_HANG_SECONDS and MONKEY_SKIP give the same settings; the options win.
// --skip names windows as the report does ("statistics", "IPS test") that
// the run leaves alone. The heap bound
// counts in the sanitizer build only. Without a display it runs on the
// offscreen platform.

#include "Monkey.h"
#include "Watchdog.h"

#include <QApplication>
#include <QCursor>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace {

// The offscreen platform says at every window that it cannot raise it or
// grab the keyboard, and at every drag of text that it cannot drag and drop;
// that is of no interest here.
void QuietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message == QLatin1String("Unimplemented code.")) {
        return;
    }
    std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
    if (type == QtFatalMsg) std::abort();
}

long long Setting(int argc, char** argv, const char* option, const char* variable, long long fallback) {
    for (int k = 1; k + 1 < argc; ++k) {
        if (std::strcmp(argv[k], option) == 0) return std::atoll(argv[k + 1]);
    }
    const char* value = std::getenv(variable);
    return (value != nullptr && *value != '\0') ? std::atoll(value) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    vistorel::monkey::Options options;
    options.Events = Setting(argc, argv, "--events", "MONKEY_EVENTS", options.Events);
    options.Seed = static_cast<std::uint32_t>(Setting(argc, argv, "--seed", "MONKEY_SEED", options.Seed));
    options.RssBoundMb = static_cast<long>(Setting(argc, argv, "--rss-bound-mb", "MONKEY_RSS_BOUND_MB", options.RssBoundMb));
    options.HeapBoundMb =
        static_cast<long>(Setting(argc, argv, "--heap-bound-mb", "MONKEY_HEAP_BOUND_MB", options.HeapBoundMb));
    const int hangSeconds = static_cast<int>(Setting(argc, argv, "--hang-seconds", "MONKEY_HANG_SECONDS", 5));
    const char* skip = std::getenv("MONKEY_SKIP");
    for (int k = 1; k + 1 < argc; ++k) {
        if (std::strcmp(argv[k], "--skip") == 0) skip = argv[k + 1];
    }
    if (skip != nullptr && *skip != '\0') options.Skipped = QString::fromLocal8Bit(skip).split(u',', Qt::SkipEmptyParts);
    options.ImagesDir = QString::fromLocal8Bit(VISTOREL_IMAGES_DIR);
    options.PracticeText = QString::fromLocal8Bit(VISTOREL_PRACTICE_TEXT);

    qInstallMessageHandler(QuietPlatform);
    QApplication qt(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QCursor::setPos(-1000, -1000);
    std::printf("monkey: seed %u, %lld events on the %s platform\n", options.Seed, options.Events,
                qUtf8Printable(QApplication::platformName()));
    std::fflush(stdout);

    vistorel::monkey::Watchdog watchdog(options.Seed, hangSeconds);
    try {
        vistorel::monkey::Monkey monkey(options, watchdog);
        return monkey.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "monkey: %s\n", e.what());
        return 2;
    }
}
