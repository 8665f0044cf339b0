#pragma once

#include <QString>

class WLProgress;

// Converts a StarDict dictionary (NAME.ifo beside NAME.idx or NAME.idx.gz,
// NAME.dict or NAME.dict.dz, maybe NAME.syn and a res/ folder) into a
// source folder for the compiler: manifest.json, entries.jsonl and the
// pictures/ and sounds/ media folders. The index is read whole; entry data
// streams from the .dict. Every .idx record is a fragment of its headword
// (records with the same headword are one entry), every .syn record a
// headword of its own; data that several records name is written once and
// copied by the others ("sameAs"). The .ifo gives the title and the About
// text. Every fault names the file and the offset; a failed import leaves
// nothing in the source folder.
class WLStarDictImporter
{
public:
    explicit WLStarDictImporter(QString ifoPath);

    // ICU collation locale written to the manifest ("root" when unset).
    void setLanguage(const QString &language) { mLanguage = language; }
    // Overrides the dictionary's own title (bookname).
    void setTitle(const QString &title) { mTitleOverride = title; }
    void setProgress(WLProgress *progress) { mProgress = progress; }

    // sourceDir must be absent or empty; false with errorString() naming
    // the file (and offset or line) at fault.
    bool writeSource(const QString &sourceDir);

    QString errorString() const { return mError; }
    QString title() const { return mTitle; }
    qsizetype headwordCount() const { return mHeadwords; }
    qsizetype definitionCount() const { return mDefinitions; }
    qsizetype synonymCount() const { return mSynonyms; }
    // Records whose data another record's fragment carries.
    qsizetype sharedCount() const { return mShared; }
    qsizetype linkCount() const { return mLinks; }
    qsizetype unresolvedCount() const { return mUnresolved; }
    qsizetype pictureCount() const { return mPictures; }
    qsizetype soundCount() const { return mSounds; }
    // References to files that res/ does not have.
    qsizetype missingResourceCount() const { return mMissing; }
    // Elements, attributes and link targets left out as unsafe.
    qsizetype removedCount() const { return mRemoved; }
    // Items the reader does not show (binary data, videos, attachments).
    qsizetype skippedItemCount() const { return mSkippedItems; }
    // Records whose headword is blank: nobody can look them up.
    qsizetype blankCount() const { return mBlank; }

private:
    bool convert(const QString &sourceDir);

    QString mIfoPath;
    QString mLanguage;
    QString mTitleOverride;
    WLProgress *mProgress = nullptr;
    QString mTitle;
    QString mError;
    qsizetype mHeadwords = 0;
    qsizetype mDefinitions = 0;
    qsizetype mSynonyms = 0;
    qsizetype mShared = 0;
    qsizetype mLinks = 0;
    qsizetype mUnresolved = 0;
    qsizetype mPictures = 0;
    qsizetype mSounds = 0;
    qsizetype mMissing = 0;
    qsizetype mRemoved = 0;
    qsizetype mSkippedItems = 0;
    qsizetype mBlank = 0;
};
