// Prepares a ready workspace for a first run: the images, the practice text,
// a settings file that names the text, and a library holding its entry.
// What already exists is kept, so the user's own settings and library survive.
//
//   vistorel-workspace <workspace folder> <images folder> <practice text>

#include "app/Workspace.h"
#include "platform/Errors.h"

#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vistorel-workspace <workspace> <images> <practice text>\n");
        return 1;
    }
    try {
        vistorel::PrepareWorkspace(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[3]),
                                   QString::fromLocal8Bit(argv[2]));
    } catch (const vistorel::Error& e) {
        std::fprintf(stderr, "vistorel-workspace: %s\n", qUtf8Printable(e.Message()));
        return 1;
    }
    return 0;
}
