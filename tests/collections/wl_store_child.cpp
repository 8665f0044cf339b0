// Adds bookmarks through the shared store and says so on standard output.
//
//   wl_store_child WORD NOTES         one bookmark; then waits to be killed
//                                     (it must reach the disk without an
//                                     orderly exit)
//   wl_store_child WORD NOTES exit    one bookmark, then returns at once (it
//                                     must reach the disk although nobody
//                                     asked)
//   wl_store_child --many N PREFIX    N bookmarks PREFIX-1 … PREFIX-N, each
//                                     written at once, as fast as it can
#include "WLBookmarksDataSource.h"
#include "WLUserDefaults.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    auto store = WLBookmarksDataSource::init();
    if (qstrcmp(argv[1], "--many") == 0 && argc == 4) {
        const int count = QByteArray(argv[2]).toInt();
        for (int i = 1; i <= count; ++i) {
            const QString word = QStringLiteral("%1-%2").arg(QString::fromUtf8(argv[3])).arg(i);
            if (!store->addBookmark(word, QVariantList{word + QStringLiteral("#1")}, QString(),
                                    QVariantList{QStringLiteral("7")}) ||
                !WLUserDefaults::standardUserDefaults()->synchronize())
                return 1;
        }
        std::printf("added\n");
        return 0;
    }
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
