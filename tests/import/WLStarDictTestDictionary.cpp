#include "WLStarDictTestDictionary.h"

#include "WLDictdTestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>

#include <zlib.h>

#ifdef WL_HAVE_SNDFILE
#include <sndfile.h>
#endif

using namespace Qt::StringLiterals;

namespace {

void putBig(QByteArray &out, quint64 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out += char((value >> (8 * i)) & 0xff);
}

void putLittle(QByteArray &out, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 0xff);
}

void save(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    QByteArray chunk;
    putBig(chunk, quint64(data.size()), 4);
    const QByteArray body = QByteArray(type, 4) + data;
    chunk += body;
    putBig(chunk, crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size())), 4);
    return chunk;
}

// A second of a sine tone, 16-bit mono at 8000 Hz.
QList<short> tone(int frequency)
{
    QList<short> samples(8000);
    for (qsizetype i = 0; i < samples.size(); ++i)
        samples[i] = short(8000 * std::sin(double(i) * 2 * M_PI * frequency / 8000));
    return samples;
}

} // namespace

void WLStarDictTestDictionary::setInfo(const QByteArray &key, const QByteArray &value)
{
    for (qsizetype i = 0; i < mInfo.size(); ++i) {
        if (mInfo[i].first == key) {
            if (value.isEmpty())
                mInfo.removeAt(i);
            else
                mInfo[i].second = value;
            return;
        }
    }
    if (!value.isEmpty())
        mInfo.append({key, value});
}

void WLStarDictTestDictionary::setOffsetBits(int bits)
{
    mOffsetBits = bits;
}

namespace {

void putRecord(QByteArray &index, const QByteArray &headword, std::pair<quint64, quint32> place,
               int offsetBits)
{
    index += headword + '\0';
    putBig(index, place.first, offsetBits / 8);
    putBig(index, place.second, 4);
}

} // namespace

int WLStarDictTestDictionary::add(const QByteArray &headword, const QByteArray &data)
{
    mPlaces.append({quint64(mDict.size()), quint32(data.size())});
    mDict += data;
    putRecord(mIndex, headword, mPlaces.back(), mOffsetBits);
    return mWords++;
}

int WLStarDictTestDictionary::addShared(const QByteArray &headword, int record)
{
    mPlaces.append(mPlaces[record]);
    putRecord(mIndex, headword, mPlaces.back(), mOffsetBits);
    return mWords++;
}

void WLStarDictTestDictionary::addSynonym(const QByteArray &headword, int record)
{
    mSyn += headword + '\0';
    putBig(mSyn, quint64(record), 4);
    ++mSynonyms;
}

QByteArray WLStarDictTestDictionary::item(char type, const QByteArray &data)
{
    QByteArray out(1, type);
    if (type >= 'a' && type <= 'z')
        return out + data + '\0';
    putBig(out, quint64(data.size()), 4);
    return out + data;
}

QString WLStarDictTestDictionary::write(const QString &dir, const QString &name,
                                        Compression index, bool dictzip) const
{
    const QString base = QDir(dir).filePath(name);
    QList<std::pair<QByteArray, QByteArray>> info = mInfo;
    const auto fill = [&](const QByteArray &key, const QByteArray &value) {
        for (const auto &line : std::as_const(info)) {
            if (line.first == key)
                return;
        }
        info.append({key, value});
    };
    fill("version", mOffsetBits == 64 ? "3.0.0" : "2.4.2");
    if (mOffsetBits == 64)
        fill("idxoffsetbits", "64");
    fill("wordcount", QByteArray::number(mWords));
    fill("idxfilesize", QByteArray::number(mIndex.size()));
    if (mSynonyms > 0)
        fill("synwordcount", QByteArray::number(mSynonyms));
    QByteArray ifo = "StarDict's dict ifo file\n";
    for (const auto &[key, value] : std::as_const(info))
        ifo += key + '=' + value + '\n';
    save(base + u".ifo"_s, ifo);
    if (index == Compression::Gzip)
        save(base + u".idx.gz"_s, WLDictdTestDatabase::gzip(mIndex));
    else
        save(base + u".idx"_s, mIndex);
    if (dictzip)
        save(base + u".dict.dz"_s, WLDictdTestDatabase::dictzip(mDict, 64));
    else
        save(base + u".dict"_s, mDict);
    if (mSynonyms > 0)
        save(base + u".syn"_s, mSyn);
    for (auto it = mResources.cbegin(); it != mResources.cend(); ++it)
        save(QDir(dir).filePath(u"res/"_s + it.key()), it.value());
    return base + u".ifo"_s;
}

QByteArray WLStarDictTestDictionary::png(int width, int height, quint32 rgb)
{
    QByteArray header;
    putBig(header, quint64(width), 4);
    putBig(header, quint64(height), 4);
    header += QByteArray("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    QByteArray rows;
    for (int y = 0; y < height; ++y) {
        rows += '\0';
        for (int x = 0; x < width; ++x)
            putBig(rows, rgb, 3);
    }
    QByteArray deflated(qsizetype(compressBound(uLong(rows.size()))), Qt::Uninitialized);
    uLongf length = uLongf(deflated.size());
    compress(reinterpret_cast<Bytef *>(deflated.data()), &length,
             reinterpret_cast<const Bytef *>(rows.constData()), uLong(rows.size()));
    deflated.resize(qsizetype(length));
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", deflated) + pngChunk("IEND", {});
}

QByteArray WLStarDictTestDictionary::gif()
{
    // One red pixel.
    return QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00"
                      ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                      35);
}

QByteArray WLStarDictTestDictionary::bmp(int width, int height, quint32 rgb)
{
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    QByteArray out("BM");
    putLittle(out, quint32(54 + rowBytes * height), 4);
    putLittle(out, 0, 4);
    putLittle(out, 54, 4);
    putLittle(out, 40, 4);
    putLittle(out, quint32(width), 4);
    putLittle(out, quint32(height), 4);
    putLittle(out, 1, 2);
    putLittle(out, 24, 2);
    putLittle(out, 0, 4);
    putLittle(out, quint32(rowBytes * height), 4);
    putLittle(out, 2835, 4);
    putLittle(out, 2835, 4);
    putLittle(out, 0, 8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            putLittle(out, rgb, 3);
        out += QByteArray(rowBytes - width * 3, '\0');
    }
    return out;
}

QByteArray WLStarDictTestDictionary::wav(int frequency)
{
    const QList<short> samples = tone(frequency);
    QByteArray data;
    for (const short s : samples)
        putLittle(data, quint16(s), 2);
    QByteArray out("RIFF");
    putLittle(out, quint32(36 + data.size()), 4);
    out += "WAVEfmt ";
    putLittle(out, 16, 4);
    putLittle(out, 1, 2);    // PCM
    putLittle(out, 1, 2);    // mono
    putLittle(out, 8000, 4); // frames a second
    putLittle(out, 16000, 4);
    putLittle(out, 2, 2);
    putLittle(out, 16, 2);
    out += "data";
    putLittle(out, quint32(data.size()), 4);
    return out + data;
}

QByteArray WLStarDictTestDictionary::encoded(const QString &format, int frequency)
{
#ifdef WL_HAVE_SNDFILE
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = format == u"mp3"_s ? SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III
                                     : SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sound."_s + format);
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return {};
    const QList<short> samples = tone(frequency);
    sf_writef_short(file, samples.constData(), samples.size());
    sf_close(file);
    QFile written(path);
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
#else
    Q_UNUSED(format);
    Q_UNUSED(frequency);
    return {};
#endif
}

QString WLStarDictTestDictionary::writeSample(const QString &dir)
{
    WLStarDictTestDictionary d;
    d.setOffsetBits(64);
    d.setInfo("bookname", "Sample StarDict");
    d.setInfo("author", "WL Reader's tests");
    d.setInfo("email", "tests@example.org");
    d.setInfo("website", "https://example.org/sample");
    d.setInfo("description", "Fruit, with pictures and sounds.<br>Made by the tests.");
    d.setInfo("date", "2026.12.07");

    const QByteArray ogg = encoded(u"ogg"_s, 523);
    const QByteArray mp3 = encoded(u"mp3"_s, 587);
    d.addResource(u"fruit/apple.png"_s, png(24, 16, 0xcc2222));
    d.addResource(u"banana.gif"_s, gif());
    d.addResource(u"map.bmp"_s, bmp(8, 8, 0x2255aa));
    d.addResource(u"unused.png"_s, png(2, 2, 0));
    d.addResource(u"notes.txt"_s, "not a picture");
    d.addResource(u"apple.wav"_s, wav(440));
    d.addResource(u"banana.ogg"_s, ogg.isEmpty() ? wav(523) : ogg);
    d.addResource(u"date.mp3"_s, mp3.isEmpty() ? wav(587) : mp3);

    const int apple = d.add("apple", item('m', "a round fruit\n  of the apple tree") +
                                         item('r', "img:fruit/apple.png\nsnd:apple.wav"));
    const int banana = d.add(
        "banana",
        item('h', "<p onclick=\"steal()\">a <b>long</b> fruit, unlike an "
                  "<a href=\"bword://apple\">apple</a></p><script>steal()</script>"
                  "<img src=\"banana.gif\" alt=\"a banana\"><a href=\"banana.ogg\">hear it</a> "
                  "<a href=\"https://example.org/banana\">more</a>"));
    d.add("cherry", item('g', "<span foreground=\"#B22222\">red</span> <b>stone</b> fruit\n"
                              "<i>cerise</i> &amp; griotte") +
                        item('t', "\xcb\x88tS\xc9\x9bri"));
    d.add("date", item('x', "<k>date</k>\n<tr>de\xc9\xaat</tr> <abr>n.</abr> "
                            "<dtrn>the fruit of the date palm</dtrn>, see <kref>apple</kref> "
                            "<rref>date.mp3</rref>"));
    d.add("elderberry", item('y', "niwatoko") + item('k', "<ci>elder</ci>") +
                            item('w', "'''elder''' [[berry]]") + item('l', "baie de sureau \xe9t\xe9") +
                            item('W', wav(330)));
    d.add("fig", item('m', "the first fig"));
    d.add("fig", item('m', "the second fig"));
    const int grape = d.add("grape", item('m', "a small round fruit in bunches"));
    d.addShared("grapes", grape);
    d.add("map", item('h', "<img src=\"map.bmp\"> a map of the orchard"));
    d.addSynonym("malus", apple);
    d.addSynonym("musa", banana);
    d.addSynonym("raisin", grape);
    return d.write(dir, u"sample"_s, Compression::Gzip, true);
}
