// Adds one bookmark through the shared store, says so on standard output and
// then waits to be killed: the test checks that the bookmark reached the disk
// without an orderly exit.
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
    return app.exec();
}
