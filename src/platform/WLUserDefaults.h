#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QFileSystemWatcher;
class QTimer;

// Posted by a store when values changed on disk under it (another process
// wrote the file); userInfo "keys" lists the keys whose values changed.
inline constexpr char WLUserDefaultsDidChangeNotification[] = "WLUserDefaultsDidChangeNotification";

// The user's preferences: property-list values (strings, numbers, booleans,
// dates, data, arrays and dictionaries) by key, kept in one property-list
// file. Registered defaults answer for keys that hold no value; they stay in
// memory and are never written.
//
// Changes reach the file without anyone asking: shortly after they are made
// when an event loop runs, and in any case when the application object or
// the store goes away. Each write replaces the whole file atomically, so the
// file is always either the previous or the new version.
//
// Other processes may write the same file (wldict, a second reader). A
// write holds a lock file beside it; if the file changed since this store
// last read or wrote it, the store takes what is there and makes its own
// changes again on top, key by key: a value set replaces the other's, an
// edit (editObject) is applied anew to the other's value. Nothing either
// side wrote is lost. A store that watches its file (watchForChanges) also
// takes in changes as soon as they are written, and says which keys
// changed with WLUserDefaultsDidChangeNotification.
//
// A file that cannot be parsed is never overwritten: it is renamed aside
// (".corrupt-" and a time stamp) and the store starts empty.
//
// Threading: main thread only.
class WLUserDefaults
{
public:
    // The process-wide store on defaultPath(), made on first use.
    static WLUserDefaults *standardUserDefaults();
    // Writes pending changes and drops the process-wide store; the next
    // standardUserDefaults() reads the file again (and defaultPath() anew).
    static void resetStandardUserDefaults();

    // $WL_DEFAULTS_FILE when set (tests, several profiles), else
    // "WLReader/FOLDER/defaults.plist" in the user's configuration directory
    // for the dictionary set below; empty before one is set.
    static QString defaultPath();

    // Bookmarks, history and the last entry hold contents IDs, which mean
    // something only in the dictionary they came from: each dictionary has
    // a file of its own. Set once the bundle is chosen, before the
    // process-wide store is first used.
    static void setDictionary(const QString &identifier, const QString &bundlePath);
    // The same, the identifier asked for only when the store is first
    // needed: reading it costs a one-shot command that never uses the store.
    static void setDictionary(std::function<QString()> identifier, const QString &bundlePath);
    // The folder of a dictionary's file: the identifier from its
    // description when that is a safe folder name (letters, digits and
    // ". - _ +", not starting with ".", at most 64 characters), else a name
    // made from the bundle folder's canonical path.
    static QString dictionaryFolderName(const QString &identifier, const QString &bundlePath);

    explicit WLUserDefaults(const QString &path);
    ~WLUserDefaults();
    WLUserDefaults(const WLUserDefaults &) = delete;
    WLUserDefaults &operator=(const WLUserDefaults &) = delete;

    QString path() const { return mPath; }

    void registerDefaults(const QVariantMap &defaults);

    // The stored value, else the registered default, else an invalid QVariant.
    QVariant objectForKey(const QString &key) const;
    // Numbers (non-zero), and the texts "YES", "true" or a non-zero integer.
    bool boolForKey(const QString &key) const;
    // Numbers (reals truncated) and integer texts; 0 for anything else.
    qint64 integerForKey(const QString &key) const;
    // A value read as integerForKey reads it.
    static qint64 integerValue(const QVariant &value);
    // Strings, and numbers as text; a null string for anything else.
    QString stringForKey(const QString &key) const;
    // Arrays only.
    std::optional<QVariantList> arrayForKey(const QString &key) const;

    // An invalid value removes the key; a value with no property-list form is
    // reported and ignored.
    void setObject(const QVariant &value, const QString &key);
    // A change of key that depends on what the key holds (a record added to
    // a list): edit gets every stored value and answers the key's new value
    // (invalid removes it). It runs now, and again on what another process
    // wrote, should that reach the file before this change does.
    using Edit = std::function<QVariant(const QVariantMap &values)>;
    void editObject(const QString &key, Edit edit);
    void setBool(bool value, const QString &key);
    void setInteger(qint64 value, const QString &key);
    void removeObjectForKey(const QString &key);

    // Writes pending changes now. False when they could not be written
    // (they stay pending).
    bool synchronize();
    bool hasUnsavedChanges() const { return !mPending.empty(); }

    // Takes in what another process wrote to the file since this store
    // last read or wrote it, with this store's pending changes on top.
    void reloadIfChanged();
    // Watches the file from now on (with an event loop on this thread) and
    // reloads it when another process writes it.
    void watchForChanges();

    // Delay between a change and its write when an event loop runs.
    static constexpr int kSaveDelayMs = 200;
    // How long a write waits for another process's write to finish.
    static constexpr int kLockTimeoutMs = 5000;
    // Delay between a change of the folder and the look at the file, so a
    // burst of changes is read once.
    static constexpr int kReloadDelayMs = 50;

private:
    void load();
    void moveAside(const QString &reason);
    void scheduleSave();
    // The file's bytes: nothing when there is no file; false when it
    // exists but cannot be read.
    bool readFile(std::optional<QByteArray> *bytes, QString *error) const;
    // The values of what was read, with the pending changes made again on
    // top; false when the bytes do not parse.
    bool rebase(const std::optional<QByteArray> &bytes, QVariantMap *values, QString *error) const;
    // Takes new values and, when announce, says which keys changed.
    void adopt(QVariantMap values, bool announce);
    bool write(bool announce);
    static void flushAllAtApplicationExit();

    QString mPath;
    QVariantMap mValues;
    QVariantMap mRegistered;
    // This process's changes since the file was last written, in order.
    std::vector<std::pair<QString, Edit>> mPending;
    // The file as this store last read or wrote it (nothing: no file).
    std::optional<QByteArray> mFileBytes;
    // False when the file exists but could be neither read nor moved aside:
    // writing would destroy what is there.
    bool mWritable = true;
    std::unique_ptr<QTimer> mSaveTimer;
    std::unique_ptr<QFileSystemWatcher> mWatcher;
    std::unique_ptr<QTimer> mReloadTimer;
};
