#pragma once

#include <QString>

// What the screens ask of the program that shows them about dictionaries:
// which one is open, opening another in its place (the stop sequence for
// the one open, the start sequence for the other), and the desktop's file
// chooser for one to add.
class WLDictionaryHost
{
public:
    virtual ~WLDictionaryHost() = default;
    virtual QString openDictionaryPath() const = 0;
    // Another reader that shows it already is brought forward instead.
    virtual void openDictionary(const QString &bundlePath) = 0;
    // The chooser answers through the application delegate's
    // addDictionary().
    virtual void chooseDictionaryToAdd() = 0;
};
