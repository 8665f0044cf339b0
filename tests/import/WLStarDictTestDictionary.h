#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// Builds StarDict dictionaries for tests: the .ifo, the .idx (or .idx.gz)
// with 32- or 64-bit offsets, the .dict (or dictzip .dict.dz), the .syn
// and files in res/. Counts and sizes in the .ifo are filled in from what
// was added unless a test sets them itself.
//
// writeSample() makes the one dictionary that has everything: several data
// types, multi-part entries, shared data, synonyms, pictures and sounds of
// our own making. Other tests (the window's) use it as it is:
//     const QString ifo = WLStarDictTestDictionary::writeSample(dir.path());
//     wldict build --from-stardict ifo bundle
// tests/import/wl_make_stardict_sample DIR writes it for a look by hand.
class WLStarDictTestDictionary
{
public:
    enum class Compression { None, Gzip };

    // An .ifo line; an empty value removes the key. Keys keep their order.
    void setInfo(const QByteArray &key, const QByteArray &value);
    // version 3.0.0 with idxoffsetbits=64, or 2.4.2.
    void setOffsetBits(int bits);

    // Appends data to the .dict and its record to the .idx; answers the
    // record's number (from 0).
    int add(const QByteArray &headword, const QByteArray &data);
    // Another record naming the data of record.
    int addShared(const QByteArray &headword, int record);
    void addSynonym(const QByteArray &headword, int record);
    // Bytes appended to the .idx as they are, for malformed records.
    void addRawIndex(const QByteArray &bytes) { mIndex += bytes; }
    void addResource(const QString &path, const QByteArray &bytes) { mResources[path] = bytes; }

    // One item as an entry without sametypesequence stores it: the type,
    // then text and a zero byte, or a big-endian size and binary data.
    static QByteArray item(char type, const QByteArray &data);

    QByteArray index() const { return mIndex; }
    QByteArray dict() const { return mDict; }

    // Writes NAME.ifo and the files beside it into dir; answers the .ifo's
    // path.
    QString write(const QString &dir, const QString &name, Compression index = Compression::None,
                  bool dictzip = false) const;

    // The dictionary with everything, as "sample" in dir; answers the
    // .ifo's path. Without libsndfile in the build its sounds are WAV only.
    static QString writeSample(const QString &dir);

    // Small media files made here.
    static QByteArray png(int width, int height, quint32 rgb);
    static QByteArray gif();
    static QByteArray bmp(int width, int height, quint32 rgb);
    static QByteArray wav(int frequency);
    // Ogg Vorbis or MP3 through libsndfile; empty without it.
    static QByteArray encoded(const QString &format, int frequency);

private:
    QList<std::pair<QByteArray, QByteArray>> mInfo{{"bookname", "Test"}};
    int mOffsetBits = 32;
    QByteArray mIndex;
    QByteArray mDict;
    QByteArray mSyn;
    int mWords = 0;
    int mSynonyms = 0;
    QList<std::pair<quint64, quint32>> mPlaces;
    QMap<QString, QByteArray> mResources;
};
