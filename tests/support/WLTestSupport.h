#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

// Captures what the code under test writes to standard error (the report
// lines) by pointing file descriptor 2 at a temporary file for the
// capture's lifetime.
class StderrCapture
{
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture &) = delete;
    StderrCapture &operator=(const StderrCapture &) = delete;

    // Everything written so far; stops nothing.
    QString text();
    // The lines written so far with each report's line number taken out:
    // "NAME 123: (CONDITION)" becomes "NAME: (CONDITION)", so tests compare
    // the parts that matter and survive edits of the source.
    QStringList reports();

private:
    int m_savedFd = -1;
    std::FILE *m_file = nullptr;
};

// Removes the line numbers from report lines (see StderrCapture::reports).
QStringList withoutLineNumbers(const QString &text);
