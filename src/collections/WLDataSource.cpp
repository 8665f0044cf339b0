#include "WLDataSource.h"

#include "WLReport.h"

bool WLDataSource::acceptsDatabase(const WLDatabase *database)
{
    static constexpr char kFn[] = "-[WLDataSource initWithDatabase:]";
    if (!database) {
        WL_REPORT(kFn, "mDatabase == nil");
        return false;
    }
    return true;
}
