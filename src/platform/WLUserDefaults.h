#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

class QTimer;

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
    // Strings, and numbers as text; a null string for anything else.
    QString stringForKey(const QString &key) const;
    // Arrays only.
    std::optional<QVariantList> arrayForKey(const QString &key) const;

    // An invalid value removes the key; a value with no property-list form is
    // reported and ignored.
    void setObject(const QVariant &value, const QString &key);
    void setBool(bool value, const QString &key);
    void setInteger(qint64 value, const QString &key);
    void removeObjectForKey(const QString &key);

    // Writes pending changes now. False when they could not be written
    // (they stay pending).
    bool synchronize();
    bool hasUnsavedChanges() const { return mDirty; }

    // Delay between a change and its write when an event loop runs.
    static constexpr int kSaveDelayMs = 200;

private:
    void load();
    void moveAside(const QString &reason);
    void scheduleSave();
    static void flushAllAtApplicationExit();

    QString mPath;
    QVariantMap mValues;
    QVariantMap mRegistered;
    bool mDirty = false;
    // False when the file exists but could be neither read nor moved aside:
    // writing would destroy what is there.
    bool mWritable = true;
    std::unique_ptr<QTimer> mSaveTimer;
};
