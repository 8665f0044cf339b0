// Adds one bookmark through the shared store and says so on standard output.
// Then it waits to be killed (the bookmark must reach the disk without an
// orderly exit), or with "exit" returns at once (it must reach the disk
// although nobody asked).
#include "WLBookmarksDataSource.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    auto store = WLBookmarksDataSource::init();
    const QString word = QString::fromUtf8(argv[1]);
    const QString notes = QString::fromUtf8(argv[2]);
    if (!store->addBookmark(word, QVariantList{word + QStringLiteral("#1")}, notes,
                            QVariantList{QStringLiteral("7")}))
        return 1;
    std::printf("added\n");
    std::fflush(stdout);
    if (argc > 3 && qstrcmp(argv[3], "exit") == 0)
        return 0;
    return app.exec();
}
