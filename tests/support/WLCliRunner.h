#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What one run of wldict gave: its exit status (-1 when it crashed or did
// not finish) and everything it wrote.
struct WLCliResult
{
    int status = -1;
    QByteArray out;
    QByteArray err;

    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromUtf8(err); }
    // Standard output as a JSON document (array or object); null when it
    // is none.
    QJsonValue json() const;
};

// Runs the wldict executable that $WLDICT names, as a user at a shell
// would: with the test's environment (without WL_DICTIONARY and COLUMNS,
// so only what a test sets counts) and, once a bundle is given,
// "--dictionary BUNDLE" before the arguments.
class WLCliRunner
{
public:
    WLCliRunner();

    // False when $WLDICT names no program; the test then skips.
    bool isAvailable() const { return !mProgram.isEmpty(); }

    void setDictionary(const QString &bundle) { mDictionary = bundle; }
    void setEnvironment(const QString &name, const QString &value);

    WLCliResult run(const QStringList &arguments, const QByteArray &input = {}) const;
    // The same with --json; warns with the output when it fails.
    QJsonValue json(const QStringList &arguments) const;

private:
    QString mProgram;
    QString mDictionary;
    QProcessEnvironment mEnvironment;
};
