#include <QFile>
#include <cstdio>

#include "cli/man_page.h"

// Writes the manual page to the file named, at build time: the page comes from the same
// option table as --help.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_man_page OUT.1\n", stderr);
        return 2;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(qe::manPage().toUtf8()) < 0) {
        std::fprintf(stderr, "make_man_page: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
