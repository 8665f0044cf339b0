#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class WLCommand;
class WLDatabase;

// What every command is handed: the global options, the dictionary (opened
// on first use) and the ways to answer on standard output.
class WLCliContext
{
public:
    WLCliContext(QString dictionaryPath, bool json);
    ~WLCliContext();
    WLCliContext(const WLCliContext &) = delete;
    WLCliContext &operator=(const WLCliContext &) = delete;

    bool json() const { return mJson; }
    QString dictionaryPath() const { return mDictionaryPath; }

    // The open dictionary; null after a message on standard error when it
    // cannot be opened.
    WLDatabase *database();
    QString descriptionPath() const;

    void writeJson(const QJsonValue &value);
    void writeLine(const QString &text = {});
    void writeBytes(const QByteArray &bytes);
    // Rows of cells in aligned columns; the columns named right-aligned are
    // padded on the left (numbers).
    void writeTable(const QList<QStringList> &rows, const QList<int> &rightAligned = {});

    // "wldict: message" on standard error; the status of a failure (1).
    int fail(const QString &message);
    // The message and the command's usage line; the status of wrong use (2).
    int usage(const WLCommand &command, const QString &message);

    // A positive decimal integer, or nothing.
    static std::optional<int> parseID(const QString &text);

private:
    QString mDictionaryPath;
    bool mJson = false;
    bool mOpenAttempted = false;
    std::unique_ptr<WLDatabase> mDatabase;
};
