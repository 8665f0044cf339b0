#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// One reader per dictionary: the first one listens on a local socket named
// for its dictionary; a later "wlreader WORD" for the same dictionary hands
// WORD over and ends, and the running reader shows it.
//
// The socket lives in $XDG_RUNTIME_DIR, else in the private per-user folder
// in the temporary directory, and only its user can connect. A socket left
// by a reader that was killed is taken over by the next one.
class WLInstanceChannel : public QObject
{
    Q_OBJECT

public:
    explicit WLInstanceChannel(QObject *parent = nullptr);
    ~WLInstanceChannel() override;

    // The socket of the dictionary whose defaults folder has this name;
    // empty when there is no private place for it.
    static QString socketPath(const QString &dictionaryFolderName);

    // Hands a word (empty: only "come to the front") to the reader listening
    // at path; false when none answers. Needs no application object.
    static bool handOver(const QString &path, const QString &word, int timeoutMs = 3000);

    // Listens at path; false when another reader does (it answered).
    bool listen(const QString &path);

Q_SIGNALS:
    // A later start asked for this word (empty: only to come to the front).
    void wordReceived(const QString &word);

private:
    void accept();

    std::unique_ptr<QLocalServer> mServer;
};
