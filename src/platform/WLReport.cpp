#include "WLReport.h"

#include <cstdarg>
#include <cstdio>

void wlReport(const char *function, int line, const char *condition)
{
    std::fprintf(stderr, "%s %d: (%s)\n", function, line, condition);
}

void wlReportPrefix(const char *function, int line)
{
    std::fprintf(stderr, "%s %d: ", function, line);
}

void wlReportMessage(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}
