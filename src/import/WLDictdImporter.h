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
    void setLanguage(const QString &language) { m_language = language; }
    // Overrides the database's own title.
    void setTitle(const QString &title) { m_titleOverride = title; }
    // Hears of each phase (reading the index, inflating the data, writing
    // the entries) as it goes.
    void setProgress(WLProgress *progress) { m_progress = progress; }

    // Creates sourceDir if needed and writes the two files; false with
    // errorString() naming the file (and index line) at fault.
    bool writeSource(const QString &sourceDir);

    QString errorString() const { return m_error; }
    QString title() const { return m_title; }
    qsizetype headwordCount() const { return m_headwords; }
    qsizetype definitionCount() const { return m_definitions; }
    // Definitions whose text another headword's definition carries.
    qsizetype sharedCount() const { return m_shared; }
    qsizetype linkCount() const { return m_links; }
    qsizetype unresolvedCount() const { return m_unresolved; }
    // Index lines without a headword.
    qsizetype skippedCount() const { return m_skipped; }

private:
    QString m_indexPath;
    QString m_dataPath;
    QString m_language;
    QString m_titleOverride;
    WLProgress *m_progress = nullptr;
    QString m_title;
    QString m_error;
    qsizetype m_headwords = 0;
    qsizetype m_definitions = 0;
    qsizetype m_shared = 0;
    qsizetype m_links = 0;
    qsizetype m_unresolved = 0;
    qsizetype m_skipped = 0;
};
