#pragma once

#include "WLProgress.h"

#include <QString>

#include <cstdio>

struct WLBuildSummary;

// Shows the progress of a long build or import on standard error: one line,
// redrawn in place, on a terminal; nothing anywhere else, where only the
// summary is written. With WLDICT_PROGRESS=lines in the environment (a
// program that runs wldict and shows the progress itself) every report is a
// line of its own, "progress<TAB>PHASE<TAB>DONE<TAB>TOTAL", terminal or not.
class WLProgressPrinter : public WLProgress
{
public:
    WLProgressPrinter(std::FILE *out, bool terminal)
        : m_out(out), m_terminal(terminal), m_lines(qEnvironmentVariable("WLDICT_PROGRESS") == u"lines")
    {
    }
    ~WLProgressPrinter() override { finish(); }
    WLProgressPrinter(const WLProgressPrinter &) = delete;
    WLProgressPrinter &operator=(const WLProgressPrinter &) = delete;

    static bool isTerminal(std::FILE *file);

    void progress(const QString &phase, qint64 done, qint64 total) override;
    // Clears the line, before a summary or a message takes its place.
    void finish();

    // "BUNDLE: 176934 headwords, 203637 fragments (126240 stored), 86.8 MB in 4.3 s".
    static QString buildSummary(const QString &bundle, const WLBuildSummary &summary,
                                qint64 milliseconds);
    static QString seconds(qint64 milliseconds);

private:
    std::FILE *m_out;
    bool m_terminal;
    bool m_lines;
    bool m_drawn = false;
};
