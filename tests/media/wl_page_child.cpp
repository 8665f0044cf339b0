// Opens the dictionary whose description is argv[1], extracts the media
// references that follow, prints its page directory, and then waits: it
// shuts down normally when its standard input closes, or is killed.
#include "WLDatabaseMedia.h"
#include "WLBundle.h"
#include "WLDatabase.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 3)
        return 2;
    const QString description = QString::fromLocal8Bit(argv[1]);
    WLBundle::setResourcePath(QFileInfo(description).absolutePath());
    std::unique_ptr<WLDatabase> database = WLDatabase::initWithPropertyListFile(description);
    if (!database)
        return 1;
    for (int i = 2; i < argc; ++i) {
        if (!WLDatabaseMedia::of(*database)->readDataForAdditionNamed(QString::fromLocal8Bit(argv[i])))
            return 1;
    }
    std::printf("%s\n", qPrintable(database->htmlBaseURL().toLocalFile()));
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
