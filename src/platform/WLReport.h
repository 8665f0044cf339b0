#pragma once

// The report line: every failed check in the engine prints one line on
// standard error, "NAME LINE: (CONDITION)", and the operation returns its
// failure value. A few messages come in two pieces: "NAME LINE: " and then
// a line of their own. Safe to call from any thread.

void wlReport(const char *function, int line, const char *condition);
void wlReportPrefix(const char *function, int line);
void wlReportMessage(const char *format, ...) __attribute__((format(printf, 1, 2)));

#define WL_REPORT(function, condition) wlReport((function), __LINE__, (condition))
#define WL_REPORT_PREFIX(function) wlReportPrefix((function), __LINE__)

#include <string>
#include <vector>

// Keeps a copy of the report lines the calling thread prints while it
// lives (they still go to standard error), so a caller can show why an
// operation failed.
class WLReportCapture
{
public:
    WLReportCapture();
    ~WLReportCapture();
    WLReportCapture(const WLReportCapture &) = delete;
    WLReportCapture &operator=(const WLReportCapture &) = delete;

    // Each line with its newline.
    const std::vector<std::string> &lines() const { return mLines; }

private:
    std::vector<std::string> mLines;
    std::vector<std::string> *mPrevious;
};
