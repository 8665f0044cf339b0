#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Builds small dictd databases for tests: an index with dictd's base64
// numbers and a data file, plain, dictzip (gzip in independent chunks,
// with their table in the header) or plain gzip.
class WLDictdTestDatabase
{
public:
    enum class Format { Plain, Dictzip, Gzip };

    // Appends a definition and its index line.
    void add(const QByteArray &headword, const QByteArray &text);
    // Another index line for the text added last, as dictd databases name
    // one text by several headwords.
    void addShared(const QByteArray &headword);
    // An index line as given, for malformed input.
    void addRawIndexLine(const QByteArray &line);

    QByteArray data() const { return m_data; }
    QByteArray index() const { return m_index; }

    // Writes NAME.index and NAME.dict (or NAME.dict.dz) under dir; answers
    // the data file's path.
    QString write(const QString &dir, const QString &name, Format format,
                  int chunkLength = 64) const;

    static QByteArray dictzip(const QByteArray &plain, int chunkLength);
    static QByteArray gzip(const QByteArray &plain);

private:
    QByteArray m_data;
    QByteArray m_index;
    QByteArray m_lastPlace; // "offset TAB length" of the text added last
};
