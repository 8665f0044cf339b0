// Writes the tests' sample StarDict dictionary into a folder, to look at or
// build by hand: wl_make_stardict_sample DIR
#include "WLStarDictTestDictionary.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const QString ifo = WLStarDictTestDictionary::writeSample(QString::fromLocal8Bit(argv[1]));
    std::printf("%s\n", ifo.toLocal8Bit().constData());
    return 0;
}
