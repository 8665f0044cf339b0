#include "WLReport.h"

#include <cstdarg>
#include <cstdio>

namespace {
// The capture of the calling thread, if one is active.
thread_local std::vector<std::string> *tCapturedLines = nullptr;

void capture(const char *format, va_list args, bool continuesLine)
{
    if (!tCapturedLines)
        return;
    char buffer[512];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    if (continuesLine && !tCapturedLines->empty())
        tCapturedLines->back() += buffer;
    else
        tCapturedLines->emplace_back(buffer);
}

void emit(bool continuesLine, const char *format, ...) __attribute__((format(printf, 2, 3)));
void emit(bool continuesLine, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    std::vfprintf(stderr, format, args);
    capture(format, copy, continuesLine);
    va_end(copy);
    va_end(args);
}
} // namespace

void wlReport(const char *function, int line, const char *condition)
{
    emit(false, "%s %d: (%s)\n", function, line, condition);
}

void wlReportPrefix(const char *function, int line)
{
    emit(false, "%s %d: ", function, line);
}

void wlReportMessage(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    std::vfprintf(stderr, format, args);
    capture(format, copy, true);
    va_end(copy);
    va_end(args);
}

WLReportCapture::WLReportCapture() : mPrevious(tCapturedLines)
{
    tCapturedLines = &mLines;
}

WLReportCapture::~WLReportCapture()
{
    tCapturedLines = mPrevious;
}
