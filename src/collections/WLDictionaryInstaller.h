#pragma once

#include <QString>
#include <QStringList>

// Installs a compiled bundle among the user's dictionaries
// ($XDG_DATA_HOME/wlreader/dictionaries/NAME), where wldict and wlreader
// find it by name. The bundle is copied beside its final place under a
// hidden name, checked to open, and only then put in place in one step
// (a rename, or an exchange with the bundle it replaces), so an
// interrupted install leaves the dictionary that was there whole.
//
// Removing one is the other way round: renamed aside in one step, then
// deleted.
//
// Threading: main thread (it opens the dictionary).
class WLDictionaryInstaller
{
public:
    struct Result {
        bool ok = false;
        // Where the bundle is now, or the reason it is not.
        QString path;
        QString error;
    };

    // A safe folder name: letters, digits and ". - _ +", not starting with
    // ".", at most 100 characters.
    static bool isValidName(const QString &name);

    // name empty: the source folder's name. An installed dictionary of that
    // name is replaced only when replace is set.
    static Result install(const QString &sourceBundle, const QString &name, bool replace);

    struct Installed {
        QString name;
        QString path;
        QString title;
        QString identifier;
        // In one of the dictionary folders; else a bundle folder opened
        // where it is, which is nobody's to remove.
        bool installed = false;
        // The user's own, else one of the system's.
        bool user = false;
        // A dictionary of the same name earlier in the search path wins.
        bool shadowed = false;
        // The demo that comes with the reader.
        bool demo = false;
    };
    // Every installed dictionary, in search order.
    static QList<Installed> installed();
    // The dictionary of a bundle folder, as installed() describes it.
    static Installed describe(const QString &bundlePath);
    static constexpr char kDemoIdentifier[] = "org.wlreader.demo";

    // Why the user cannot remove it (the demo, one installed for every
    // user, a folder not installed); empty when they can.
    static QString whyNotRemovable(const Installed &dictionary);
    // Removes a dictionary of the user's: its folder goes in one step, and
    // with forgetState its bookmarks, history and settings too.
    static Result remove(const Installed &dictionary, bool forgetState);

    // A name for a new dictionary made from base that no installed one of
    // the user's has: base itself made safe, else with "-2", "-3", ….
    static QString availableName(const QString &base);

private:
    static bool opens(const QString &bundle);
    static bool copyTree(const QString &from, const QString &to, QString *error);
};
