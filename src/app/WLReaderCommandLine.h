#pragma once

#include <QSize>
#include <QString>

// wlreader's command line, read before any application object exists (so
// --help and --version work without a display). The small front program
// and the window program read it alike.
struct WLReaderCommandLine {
    QString dictionaryPath;
    QString screenshotDirectory;
    QString word;
    QSize windowSize;
    bool verbose = false;
    bool help = false;
    bool version = false;
    // Set when the command line is wrong; say it and end with 2.
    QString error;

    static WLReaderCommandLine parse(int argc, char *argv[]);
    static QString helpText();

    // Prints the help, the version or the error when the command line asks
    // for one and returns the exit status; -1 when there is a window to run.
    int answerWithoutWindow() const;
};
