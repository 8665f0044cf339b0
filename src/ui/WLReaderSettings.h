#pragma once

#include <QRect>
#include <QString>

#include <memory>

class WLUserDefaults;

// What the reader keeps across dictionaries, in its own file beside the
// dictionaries' defaults ("WLReader/reader.plist" in the user's
// configuration folder, or beside $WL_DEFAULTS_FILE): the dictionary used
// last and the window's place on each screen.
//
// Threading: main thread only.
class WLReaderSettings
{
public:
    explicit WLReaderSettings(const QString &path = defaultPath());
    ~WLReaderSettings();

    static QString defaultPath();

    // The bundle to open: the one given (a folder or an installed name),
    // else $WL_DICTIONARY, else the one used last while it is still there,
    // else the demo.
    QString dictionaryToOpen(const QString &given) const;
    void setLastDictionary(const QString &bundlePath);

    // The window's frame on the screen of that name; empty when unknown.
    QRect windowFrame(const QString &screenName) const;
    void setWindowFrame(const QString &screenName, const QRect &frame);

    bool synchronize();

private:
    std::unique_ptr<WLUserDefaults> mStore;
};
