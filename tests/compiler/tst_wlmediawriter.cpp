#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLPropertyList.h"
#include "WLSourceFixture.h"

#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <memory>

using namespace Qt::StringLiterals;
using namespace WLSourceFixture;

namespace {

QByteArray mediaEntry(const QString &headword, const QString &html, const QStringList &media)
{
    const QJsonObject fragment{{u"html"_s, html}, {u"media"_s, QJsonArray::fromStringList(media)}};
    const QJsonObject object{{u"headword"_s, headword}, {u"fragments"_s, QJsonArray{fragment}}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QJsonArray mediaList(const QString &table, const QString &folder)
{
    return QJsonArray{QJsonObject{{u"table"_s, table}, {u"folder"_s, folder}}};
}

QJsonArray preloadList(const QString &file, const QString &destination)
{
    return QJsonArray{QJsonObject{{u"file"_s, file}, {u"destination"_s, destination}}};
}

// (id, name, data) of a media table, data as text.
QList<QStringList> rows(const QString &file, const QString &table)
{
    QList<QStringList> result;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        const QByteArray sql = "SELECT id, name, data FROM " + table.toLatin1() + " ORDER BY id;";
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                QStringList row;
                for (int i = 0; i < 3; ++i)
                    row.append(QString::fromUtf8(
                        reinterpret_cast<const char *>(sqlite3_column_text(stmt, i))));
                result.append(row);
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
}

} // namespace

class TestWLMediaWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void writesTablesInFileNameOrder();
    void copiesPreloadFiles();
    void withoutMediaNothingIsAdded();
    void pagesOfTheBundleFindTheirMedia();
    void refusesBadSources_data();
    void refusesBadSources();

private:
    QString source() const { return m_dir->filePath(u"source"_s); }
    QString bundle() const { return m_dir->filePath(u"bundle"_s); }
    void addFile(const QString &name, const QByteArray &bytes)
    {
        QVERIFY(QDir().mkpath(QFileInfo(QDir(source()).filePath(name)).path()));
        QVERIFY(writeFile(QDir(source()).filePath(name), bytes));
    }
    // A source with a picture folder, a sound folder and a style sheet.
    void writeSource(const QByteArray &entries, QJsonObject extra = {});
    QVariantMap description() const
    {
        return WLPropertyList::readFile(QDir(bundle()).filePath(u"DatabaseInfo.plist"_s)).toMap();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestWLMediaWriter::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestWLMediaWriter::cleanup()
{
    WLBundle::setResourcePath(QString());
    m_dir.reset();
}

void TestWLMediaWriter::writeSource(const QByteArray &entries, QJsonObject extra)
{
    QJsonObject object = manifest();
    object.insert(u"media"_s, QJsonArray{QJsonObject{{u"table"_s, u"pictures"_s},
                                                     {u"folder"_s, u"art/pictures"_s}},
                                         QJsonObject{{u"table"_s, u"sounds"_s},
                                                     {u"folder"_s, u"sounds"_s}}});
    object.insert(u"preload"_s, preloadList(u"style.css"_s, u"style.css"_s));
    for (auto it = extra.begin(); it != extra.end(); ++it)
        object.insert(it.key(), it.value());
    QVERIFY(write(source(), object, entries));
    addFile(u"art/pictures/zebra.png"_s, "Z");
    addFile(u"art/pictures/apple.png"_s, "A");
    addFile(u"art/pictures/Mango.gif"_s, "M");
    addFile(u"art/pictures/.hidden"_s, "H");
    addFile(u"sounds/bell.aiff"_s, "B");
    addFile(u"style.css"_s, "body {}");
}

void TestWLMediaWriter::writesTablesInFileNameOrder()
{
    writeSource(mediaEntry(u"apple"_s, u"<img src=\"pictures/apple.png\">"_s,
                           {u"pictures/apple.png"_s, u"sounds/ring.aiff/1"_s}));
    QString message;
    QVERIFY2(WLDictionaryCompiler::build(source(), bundle(), &message), qPrintable(message));
    const QString media = QDir(bundle()).filePath(u"media.db"_s);
    QCOMPARE(rows(media, u"pictures"_s),
             (QList<QStringList>{{u"1"_s, u"Mango.gif"_s, u"M"_s},
                                 {u"2"_s, u"apple.png"_s, u"A"_s},
                                 {u"3"_s, u"zebra.png"_s, u"Z"_s}}));
    QCOMPARE(rows(media, u"sounds"_s), (QList<QStringList>{{u"1"_s, u"bell.aiff"_s, u"B"_s}}));

    const QVariantMap info = description();
    QCOMPARE(info.value(u"KXPropAdditionsDatabaseSupport"_s), QVariant(true));
    const QVariantList tables = info.value(u"KXPropAdditionsTableArray"_s).toList();
    QCOMPARE(tables.size(), 2);
    QCOMPARE(tables.at(1).toMap(),
             (QVariantMap{{u"KXPropAdditionsDatabaseFileName"_s, u"media.db"_s},
                          {u"KXPropAdditionsTableName"_s, u"sounds"_s},
                          {u"KXPropAdditionsIDColumn"_s, u"id"_s},
                          {u"KXPropAdditionsNameColumn"_s, u"name"_s},
                          {u"KXPropAdditionsDataColumn"_s, u"data"_s}}));
}

void TestWLMediaWriter::copiesPreloadFiles()
{
    writeSource(entry(u"apple"_s, {u"<p>apple</p>"_s}),
                {{u"preload"_s, QJsonArray{QJsonObject{{u"file"_s, u"style.css"_s},
                                                       {u"destination"_s, u"css/main.css"_s}},
                                           QJsonObject{{u"file"_s, u"style.css"_s},
                                                       {u"destination"_s, u"style.css"_s}}}}});
    QString message;
    QVERIFY2(WLDictionaryCompiler::build(source(), bundle(), &message), qPrintable(message));
    QVERIFY(QFileInfo(QDir(bundle()).filePath(u"style.css"_s)).isFile());
    const QVariantList preloads = description().value(u"KXPropHTMLPreloadFiles"_s).toList();
    QCOMPARE(preloads,
             (QVariantList{QVariantMap{{u"KXPropHTMLPreloadFileName"_s, u"style.css"_s},
                                       {u"KXPropHTMLPreloadDestination"_s, u"css/main.css"_s}},
                           QVariantMap{{u"KXPropHTMLPreloadFileName"_s, u"style.css"_s},
                                       {u"KXPropHTMLPreloadDestination"_s, u"style.css"_s}}}));
}

void TestWLMediaWriter::withoutMediaNothingIsAdded()
{
    QVERIFY(write(source(), manifest(), entry(u"apple"_s, {u"<p>apple</p>"_s})));
    QString message;
    QVERIFY2(WLDictionaryCompiler::build(source(), bundle(), &message), qPrintable(message));
    QVERIFY(!QFileInfo::exists(QDir(bundle()).filePath(u"media.db"_s)));
    const QVariantMap info = description();
    QVERIFY(!info.contains(u"KXPropAdditionsDatabaseSupport"_s));
    QVERIFY(!info.contains(u"KXPropHTMLPreloadFiles"_s));
}

void TestWLMediaWriter::pagesOfTheBundleFindTheirMedia()
{
    writeSource(mediaEntry(u"apple"_s, u"<img src=\"pictures/apple.png\"><a href=\"sounds/x.aiff\">"_s,
                           {u"pictures/apple.png"_s, u"sounds/x.aiff/1"_s})
                + entry(u"pear"_s, {u"<p>pear</p>"_s}));
    QString message;
    QVERIFY2(WLDictionaryCompiler::build(source(), bundle(), &message), qPrintable(message));
    QTemporaryDir tmp;
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    WLBundle::setResourcePath(bundle());
    std::unique_ptr<WLDatabase> database =
        WLDatabase::initWithPropertyListFile(QDir(bundle()).filePath(u"DatabaseInfo.plist"_s));
    QVERIFY(database);
    const QString pages = database->htmlBaseURL().toLocalFile();
    QVERIFY(QFileInfo(pages + u"style.css"_s).isFile());
    QString word;
    QStringList links, contentsIDs;
    QVERIFY(database->getName(&word, &links, &contentsIDs, 1));
    QCOMPARE(word, u"apple"_s);
    QVERIFY(database->newHtmlDataForIDs(QVariantList(contentsIDs.cbegin(), contentsIDs.cend()), false));
    QFile picture(pages + u"pictures/apple.png"_s);
    QVERIFY(picture.open(QIODevice::ReadOnly));
    QCOMPARE(picture.readAll(), QByteArray("A"));
    QFile sound(pages + u"sounds/x.aiff"_s);
    QVERIFY(sound.open(QIODevice::ReadOnly));
    QCOMPARE(sound.readAll(), QByteArray("B"));
    database.reset();
    QVERIFY(!QFileInfo::exists(pages));
}

void TestWLMediaWriter::refusesBadSources_data()
{
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<QJsonObject>("extra");
    QTest::addColumn<QString>("file");    // a file added to the source
    QTest::addColumn<QString>("message"); // part of the expected message

    const QByteArray plain = entry(u"apple"_s, {u"<p>apple</p>"_s});
    auto refer = [](const QString &reference) {
        return mediaEntry(u"apple"_s, u"<p>apple</p>"_s, {reference});
    };
    QTest::newRow("unknown table") << refer(u"drawings/apple.png"_s) << QJsonObject() << QString()
                                   << u"entries.jsonl:1: \"apple\", fragment 1: media reference "
                                      "\"drawings/apple.png\": no media table \"drawings\""_s;
    QTest::newRow("unknown file") << refer(u"pictures/pear.png"_s) << QJsonObject() << QString()
                                  << u"no file \"pear.png\" in the folder \"art/pictures\""_s;
    QTest::newRow("hidden file") << refer(u"pictures/.hidden"_s) << QJsonObject() << QString()
                                 << u"\".hidden\" is not a plain file name"_s;
    QTest::newRow("ID beyond the rows") << refer(u"pictures/x.png/4"_s) << QJsonObject()
                                        << QString() << u"no row 4 in the table (IDs 1 to 3)"_s;
    QTest::newRow("ID 0") << refer(u"pictures/x.png/0"_s) << QJsonObject() << QString()
                          << u"no row 0"_s;
    QTest::newRow("parent in a reference") << refer(u"pictures/.."_s) << QJsonObject() << QString()
                                           << u"\"..\" is not a plain file name"_s;
    QTest::newRow("one component") << refer(u"pictures"_s) << QJsonObject() << QString()
                                   << u"must be \"table/file\" or \"table/file/ID\""_s;
    QTest::newRow("SQL word as table")
            << plain << QJsonObject{{u"media"_s, mediaList(u"select"_s, u"sounds"_s)}} << QString()
            << u"media table \"select\": a table name is"_s;
    QTest::newRow("table name with a quote")
            << plain << QJsonObject{{u"media"_s, mediaList(u"a'b"_s, u"sounds"_s)}} << QString()
            << u"media table \"a'b\""_s;
    QTest::newRow("table named twice")
            << plain
            << QJsonObject{{u"media"_s, QJsonArray{mediaList(u"s"_s, u"sounds"_s).first(),
                                                   mediaList(u"s"_s, u"sounds"_s).first()}}}
            << QString() << u"media table \"s\" is named twice"_s;
    QTest::newRow("folder outside the source")
            << plain << QJsonObject{{u"media"_s, mediaList(u"s"_s, u"../x"_s)}} << QString()
            << u"\"../x\" is not a folder of the source"_s;
    QTest::newRow("blank in a file name") << plain << QJsonObject() << u"sounds/a b.aiff"_s
                                          << u"sounds/a b.aiff: a media file name is"_s;
    QTest::newRow("empty media file") << plain << QJsonObject() << u"sounds/empty.aiff"_s
                                      << u"sounds/empty.aiff: a media file must not be empty"_s;
    QTest::newRow("preload destination outside")
            << plain << QJsonObject{{u"preload"_s, preloadList(u"style.css"_s, u"../style.css"_s)}}
            << QString() << u"destination \"../style.css\""_s;
    QTest::newRow("preload destination absolute")
            << plain << QJsonObject{{u"preload"_s, preloadList(u"style.css"_s, u"/tmp/style.css"_s)}}
            << QString() << u"destination \"/tmp/style.css\""_s;
    QTest::newRow("preload destination needing escapes")
            << plain << QJsonObject{{u"preload"_s, preloadList(u"style.css"_s, u"a%2Fb.css"_s)}}
            << QString() << u"destination \"a%2Fb.css\""_s;
    QTest::newRow("preload of a missing file")
            << plain << QJsonObject{{u"preload"_s, preloadList(u"none.css"_s, u"none.css"_s)}}
            << QString() << u"preload \"none.css\": not a file of the source"_s;
    QTest::newRow("preload of a file outside")
            << plain << QJsonObject{{u"preload"_s, preloadList(u"../secret"_s, u"x.css"_s)}}
            << QString() << u"preload \"../secret\": not a file of the source"_s;
    QTest::newRow("preload of a bundle name")
            << plain << QJsonObject{{u"preload"_s, preloadList(u"media.db"_s, u"x.css"_s)}}
            << u"media.db"_s << u"preload \"media.db\": not a file of the source"_s;
}

void TestWLMediaWriter::refusesBadSources()
{
    QFETCH(QByteArray, entries);
    QFETCH(QJsonObject, extra);
    QFETCH(QString, file);
    QFETCH(QString, message);
    writeSource(entries, extra);
    if (!file.isEmpty())
        addFile(file, file.contains(u"empty"_s) ? QByteArray() : QByteArray("x"));
    QVERIFY(writeFile(m_dir->filePath(u"secret"_s), "secret"));
    QString error;
    QVERIFY(!WLDictionaryCompiler::build(source(), bundle(), &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(!QFileInfo::exists(bundle()));
}

QTEST_GUILESS_MAIN(TestWLMediaWriter)
#include "tst_wlmediawriter.moc"
