#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

class WLProgressMeter;

// One line of a dictd index: the headword as stored (bytes; the charset
// is decided by the importer) and where its definition lies in the data
// file. dictd writes the numbers in its own base64 digits.
struct WLDictdIndexEntry
{
    QByteArray headword;
    quint64 offset = 0;
    quint64 length = 0;
    qsizetype line = 0;
};

// Reads a whole dictd index file (headwords are small; definitions are
// what streams). Lines are "headword TAB offset TAB length", optionally
// with a fourth field holding the original spelling of a headword that
// dictfmt normalised for searching: that spelling is the one kept.
// Lines whose headword is blank (real databases have a few) are skipped
// and counted: nobody can look them up.
class WLDictdIndex
{
public:
    // False and a message naming the file and line for anything malformed.
    // The meter, if any, counts the bytes read.
    static bool read(const QString &path, std::vector<WLDictdIndexEntry> &entries, QString *error,
                     qsizetype *skipped = nullptr, WLProgressMeter *meter = nullptr);

    // dictd's base64 number: digits A-Z a-z 0-9 + /, most significant
    // first. Nothing for an empty text, a foreign digit or an overflow.
    static std::optional<quint64> decodeNumber(QByteArrayView digits);

    // The reverse, for writing test data.
    static QByteArray encodeNumber(quint64 value);
};
