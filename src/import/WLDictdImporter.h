#pragma once

#include <QString>

class WLProgress;

// Converts a dictd database (NAME.index with NAME.dict or NAME.dict.dz)
// into a source folder for the compiler: manifest.json and entries.jsonl.
// The index is read whole; definitions stream one at a time from the data
// file into the entries file, so memory follows the headwords, not the
// text. A text the index names for several headwords is written once and
// copied by the others ("sameAs"). The "00-database-*" entries give the
// title ("short"), the About text ("long", "info", "copyright", "license",
// "url", as plain text) and the charset ("utf8"); they are not headwords.
// The identifier is "dictd." and the database's name.
// Text of databases not marked UTF-8 is read as UTF-8 where it is valid
// and as Latin-1 where not.
class WLDictdImporter
{
public:
    WLDictdImporter(QString indexPath, QString dataPath);

    // ICU collation locale written to the manifest ("root" when unset).
    void setLanguage(const QString &language) { mLanguage = language; }
    // Overrides the database's own title.
    void setTitle(const QString &title) { mTitleOverride = title; }
    // Hears of each phase (reading the index, inflating the data, writing
    // the entries) as it goes.
    void setProgress(WLProgress *progress) { mProgress = progress; }

    // Creates sourceDir if needed and writes the two files; false with
    // errorString() naming the file (and index line) at fault.
    bool writeSource(const QString &sourceDir);

    QString errorString() const { return mError; }
    QString title() const { return mTitle; }
    qsizetype headwordCount() const { return mHeadwords; }
    qsizetype definitionCount() const { return mDefinitions; }
    // Definitions whose text another headword's definition carries.
    qsizetype sharedCount() const { return mShared; }
    qsizetype linkCount() const { return mLinks; }
    qsizetype unresolvedCount() const { return mUnresolved; }
    // Index lines without a headword.
    qsizetype skippedCount() const { return mSkipped; }

private:
    QString mIndexPath;
    QString mDataPath;
    QString mLanguage;
    QString mTitleOverride;
    WLProgress *mProgress = nullptr;
    QString mTitle;
    QString mError;
    qsizetype mHeadwords = 0;
    qsizetype mDefinitions = 0;
    qsizetype mShared = 0;
    qsizetype mLinks = 0;
    qsizetype mUnresolved = 0;
    qsizetype mSkipped = 0;
};
