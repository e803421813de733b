// Prepares a ready workspace for a first run: the images, the practice text,
// a settings file that names the text, and a library holding its entry.
// What already exists is kept, so the user's own settings and library survive.
//
//   vistorel-workspace <workspace folder> <images folder> <practice text>

#include "Workspace.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "vistorel-workspace: usage: vistorel-workspace <workspace> <images> <practice text>\n");
        return 1;
    }
    const QString problem = vistorel::PrepareWorkspace(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                                                       QString::fromLocal8Bit(argv[3]));
    if (problem.isEmpty()) return 0;
    std::fprintf(stderr, "vistorel-workspace: %s\n", qUtf8Printable(problem));
    return 1;
}
