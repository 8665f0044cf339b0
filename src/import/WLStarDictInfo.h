#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a StarDict .ifo file says: its first line "StarDict's dict ifo
// file", then "key=value" lines in UTF-8. Version 2.4.2 or 3.0.0; only
// 3.0.0 may set idxoffsetbits (32 or 64). bookname, wordcount and
// idxfilesize are required; keys this reader does not use are skipped.
struct WLStarDictInfo
{
    QString version;
    QString bookName;
    quint64 wordCount = 0;
    std::optional<quint64> synWordCount;
    quint64 idxFileSize = 0;
    int idxOffsetBits = 32;
    // The data types of every entry, when all entries share them ("tm"),
    // else empty and each entry names its own.
    QByteArray sameTypeSequence;
    QString author;
    QString email;
    QString website;
    QString description;
    QString date;

    // A file larger than this is no .ifo.
    static constexpr qsizetype kLargestFile = 1 << 20;

    // Nothing, with a message naming fileName and the line, for anything
    // malformed.
    static std::optional<WLStarDictInfo> parse(const QByteArray &bytes, const QString &fileName,
                                               QString *error);
    static std::optional<WLStarDictInfo> read(const QString &path, QString *error);
};
