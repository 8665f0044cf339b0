// The dictionary as a program opens it: the store's object with the search
// and the media as its parts, in the order of the opening sequence.
#include "WLDatabase.h"
#include "WLDatabaseMedia.h"
#include "WLSearchSession.h"

std::unique_ptr<WLDatabase> WLDatabase::initWithPropertyListFile(const QString &path)
{
    return initWithPropertyListFile(
        path, {[](WLDatabase &database) { return std::make_unique<WLSearchSession>(database); },
               [](WLDatabase &database) { return std::make_unique<WLDatabaseMedia>(database); }});
}
