#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLSourceFixture.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <memory>

using namespace WLSourceFixture;

namespace {

std::unique_ptr<WLDatabase> openBundle(const QString &dir)
{
    WLBundle::setResourcePath(dir);
    return WLDatabase::initWithPropertyListFile(
        QDir(dir).filePath(QStringLiteral("DatabaseInfo.plist")));
}

// Rows of one query on a bundle file, each row as text cells.
QList<QStringList> query(const QString &file, const QString &sql)
{
    QList<QStringList> rows;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return rows;
    }
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                row.append(QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(stmt, i))));
            rows.append(row);
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

// Everything in a directory, names relative to it, hidden ones included.
QStringList listing(const QString &dir)
{
    QStringList names;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(QDir(dir).relativeFilePath(it.next()));
    names.sort();
    return names;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray sampleEntries()
{
    return entry(QStringLiteral("river"),
                 {QStringLiteral("<p>water; see [[bank#2|the bank]]</p>")}) +
           "// a comment line, then a blank one\n\n" +
           entry(QStringLiteral("bank"),
                 {QStringLiteral("<p>money &amp; loans</p>"),
                  QStringLiteral("<p>by a [[river]]</p>")},
                 {QStringLiteral("Bank"), QStringLiteral("banks")}) +
           entry(QStringLiteral("café"), {QStringLiteral("<p>coffee, [[C#|C<sharp>]]</p>")}) +
           entry(QStringLiteral("C#"), {QStringLiteral("<p>a language</p>")}) +
           entry(QStringLiteral("Straße"), {QStringLiteral("<p>street</p>")}) +
           entry(QStringLiteral("ß"), {QStringLiteral("<p>sharp s</p>")}) +
           entry(QStringLiteral("42"), {QStringLiteral("<p>a number</p>")}) +
           entry(QStringLiteral("Édith"), {QStringLiteral("")}) +
           entry(QStringLiteral("bank"), {QStringLiteral("<p>idiom</p>")},
                 {QStringLiteral("banking")});
}

} // namespace

class TestWLDictionaryCompiler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void everyPageIsHeaderFragmentsAndFooter();
    void crossReferencesBecomeLinkIDs();
    void headwordOrder_data();
    void headwordOrder();
    void letterIndexTablesMatchTheRows_data();
    void letterIndexTablesMatchTheRows();
    void searchRowsCoverEveryLook();
    void sameSourceGivesSameBytes();
    void charsets_data();
    void charsets();
    void badSourceNamesFileAndLine_data();
    void badSourceNamesFileAndLine();
    void longSourceFirstBadLine_data();
    void longSourceFirstBadLine();
    void longSourceMergesInFileOrder();
    void everyRowWhateverTheCount_data();
    void everyRowWhateverTheCount();
    void existingBundleIsReplacedOnlyOnSuccess();
    void refusesToReplaceWhatIsNoBundle();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString buildSample()
    {
        const QString out = path(QStringLiteral("bundle"));
        QString error;
        if (!write(path(QStringLiteral("src")), manifest(), sampleEntries()) ||
            !WLDictionaryCompiler::build(path(QStringLiteral("src")), out, &error))
            qWarning("%s", qPrintable(error));
        return out;
    }
};

void TestWLDictionaryCompiler::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestWLDictionaryCompiler::everyPageIsHeaderFragmentsAndFooter()
{
    const std::unique_ptr<WLDatabase> database = openBundle(buildSample());
    QVERIFY(database);
    QVERIFY(database->isSupportLargeFont());

    // The expected fragments of each headword, cross-references aside.
    const QHash<QString, QStringList> fragments{
        {QStringLiteral("bank"),
         {QStringLiteral("<p>money &amp; loans</p>"), QString(), QStringLiteral("<p>idiom</p>")}},
        {QStringLiteral("Straße"), {QStringLiteral("<p>street</p>")}},
        {QStringLiteral("ß"), {QStringLiteral("<p>sharp s</p>")}},
        {QStringLiteral("42"), {QStringLiteral("<p>a number</p>")}},
        {QStringLiteral("Édith"), {QString()}},
        {QStringLiteral("C#"), {QStringLiteral("<p>a language</p>")}},
    };
    int seen = 0;
    for (uint section = 0; section < database->sectionCount(); ++section) {
        for (uint row = 0; row < database->itemCountOfHeadwordSectionAtIndex(section); ++row) {
            const int id = database->itemIDAtIndexOfHeadwordSectionAtIndex(row, section);
            QString word;
            QStringList links;
            QStringList contentsIDs;
            QVERIFY(database->getName(&word, &links, &contentsIDs, id));
            QCOMPARE(links.size(), contentsIDs.size());
            for (qsizetype n = 0; n < links.size(); ++n)
                QCOMPARE(links[n], QStringLiteral("%1#%2").arg(word).arg(n + 1));
            ++seen;
            if (!fragments.contains(word))
                continue;
            QStringList expected = fragments.value(word);
            QCOMPARE(contentsIDs.size(), expected.size());
            const std::optional<QByteArray> page = database->newHtmlDataForIDs(
                QVariantList(contentsIDs.begin(), contentsIDs.end()), false);
            QVERIFY(page);
            if (word == QLatin1String("bank")) {
                // The second fragment holds a link; see crossReferencesBecomeLinkIDs.
                const QByteArray own = *database->newHtmlDataForID(contentsIDs[1].toInt(), false);
                expected[1] = QString::fromUtf8(
                    own.mid(kHeader.size(), own.size() - kHeader.size() - kFooter.size()));
                QVERIFY(expected[1].startsWith(QLatin1String("<p>by a <a href=\"#")));
            }
            QCOMPARE(QString::fromUtf8(*page), kHeader + expected.join(kSeparator) + kFooter);
            const std::optional<QByteArray> large = database->newHtmlDataForIDs(
                QVariantList(contentsIDs.begin(), contentsIDs.end()), true);
            QVERIFY(large);
            QCOMPARE(QString::fromUtf8(*large), kLargeHeader + expected.join(kSeparator) + kFooter);
        }
    }
    QCOMPARE(seen, 8); // the two lines of "bank" are one headword
}

void TestWLDictionaryCompiler::crossReferencesBecomeLinkIDs()
{
    const std::unique_ptr<WLDatabase> database = openBundle(buildSample());
    QVERIFY(database);
    const QList<QStringList> headwords =
        query(path(QStringLiteral("bundle/headword.db")),
              QStringLiteral("SELECT word, contents_ids FROM headword"));
    QHash<QString, QStringList> idsOf;
    for (const QStringList &row : headwords)
        idsOf.insert(row[0], row[1].split(QLatin1Char('\t')));

    struct Case
    {
        QString word;
        int fragment;
        QString target;
        QString shown;
        int targetFragment;
    };
    const QList<Case> cases{
        {QStringLiteral("river"), 0, QStringLiteral("bank"), QStringLiteral("the bank"), 1},
        {QStringLiteral("bank"), 1, QStringLiteral("river"), QStringLiteral("river"), 0},
        {QStringLiteral("café"), 0, QStringLiteral("C#"), QStringLiteral("C&lt;sharp&gt;"), 0},
    };
    for (const Case &c : cases) {
        const QByteArray page =
            *database->newHtmlDataForID(idsOf[c.word][c.fragment].toInt(), false);
        const QString linkID = idsOf[c.target][c.targetFragment];
        QVERIFY2(
            page.contains(QStringLiteral("<a href=\"#%1\">%2</a>").arg(linkID, c.shown).toUtf8()),
            page.constData());
        QString word;
        QString link;
        int contentsID = 0;
        QVERIFY(database->getName(&word, &link, &contentsID, linkID.toInt()));
        QCOMPARE(word, c.target);
        QCOMPARE(link, QStringLiteral("%1#%2").arg(c.target).arg(c.targetFragment + 1));
        QCOMPARE(contentsID, linkID.toInt());
    }
}

void TestWLDictionaryCompiler::headwordOrder_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("headwords");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("sections");

    const QStringList words{
        QStringLiteral("zebra"),  QStringLiteral("Édith"), QStringLiteral("apple"),
        QStringLiteral("42"),     QStringLiteral("ß"),     QStringLiteral("Straße"),
        QStringLiteral("éclair"), QStringLiteral("Eagle"), QStringLiteral("banana"),
        QStringLiteral("_x"),     QStringLiteral("Apple"), QStringLiteral("öl")};
    QTest::newRow("root") << QStringLiteral("root") << words
                          << QStringList{QStringLiteral("_x"),     QStringLiteral("42"),
                                         QStringLiteral("apple"),  QStringLiteral("Apple"),
                                         QStringLiteral("banana"), QStringLiteral("Eagle"),
                                         QStringLiteral("éclair"), QStringLiteral("Édith"),
                                         QStringLiteral("öl"),     QStringLiteral("Straße"),
                                         QStringLiteral("ß"),      QStringLiteral("zebra")}
                          << QStringList{QStringLiteral("#"),  QStringLiteral("A"),
                                         QStringLiteral("B"),  QStringLiteral("E"),
                                         QStringLiteral("O"),  QStringLiteral("S"),
                                         QStringLiteral("SS"), QStringLiteral("Z")};
    // Swedish sorts "ö" after "z"; the section comes from the decomposed
    // letter all the same.
    QTest::newRow("swedish") << QStringLiteral("sv")
                             << QStringList{QStringLiteral("zebra"), QStringLiteral("öl"),
                                            QStringLiteral("ost"), QStringLiteral("oz")}
                             << QStringList{QStringLiteral("ost"), QStringLiteral("oz"),
                                            QStringLiteral("öl"), QStringLiteral("zebra")}
                             << QStringList{QStringLiteral("O"), QStringLiteral("Z")};
}

void TestWLDictionaryCompiler::headwordOrder()
{
    QFETCH(QString, language);
    QFETCH(QStringList, headwords);
    QFETCH(QStringList, order);
    QFETCH(QStringList, sections);

    QByteArray entries;
    for (const QString &word : std::as_const(headwords))
        entries += entry(word, {QStringLiteral("<p>%1</p>").arg(word)});
    QJsonObject source = manifest();
    source.insert(QStringLiteral("language"), language);
    QVERIFY(write(path(QStringLiteral("src")), source, entries));
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(path(QStringLiteral("src")), path(QStringLiteral("out")),
                                         &error),
             qPrintable(error));

    const std::unique_ptr<WLDatabase> database = openBundle(path(QStringLiteral("out")));
    QVERIFY(database);
    QStringList names;
    QStringList words;
    int expectedID = 1;
    for (uint section = 0; section < database->sectionCount(); ++section) {
        names.append(database->sectionNameAtIndex(section));
        for (uint row = 0; row < database->itemCountOfHeadwordSectionAtIndex(section); ++row) {
            QCOMPARE(database->itemIDAtIndexOfHeadwordSectionAtIndex(row, section), expectedID++);
            words.append(database->itemNameAtIndexOfHeadwordSectionAtIndex(row, section));
        }
    }
    QCOMPARE(words, order);
    QCOMPARE(names, sections);
}

void TestWLDictionaryCompiler::letterIndexTablesMatchTheRows_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("key");

    QTest::newRow("contents") << QStringLiteral("contents.db") << QStringLiteral("contents")
                              << QStringLiteral(
                                     "(SELECT lower(word) FROM link WHERE link.id = contents.id)");
    QTest::newRow("link") << QStringLiteral("link.db") << QStringLiteral("link")
                          << QStringLiteral("word");
    QTest::newRow("search") << QStringLiteral("search.db") << QStringLiteral("search")
                            << QStringLiteral("look");
    QTest::newRow("whole-word") << QStringLiteral("equal.db") << QStringLiteral("equal_search")
                                << QStringLiteral("look");
}

void TestWLDictionaryCompiler::letterIndexTablesMatchTheRows()
{
    QFETCH(QString, file);
    QFETCH(QString, table);
    QFETCH(QString, key);

    const QString bundle = buildSample();
    QString dbPath = QDir(bundle).filePath(file);
    if (table == QLatin1String("contents")) {
        // The contents hold no words; borrow them from the link table, whose
        // IDs are the contents IDs.
        dbPath = QDir(bundle).filePath(QStringLiteral("link.db"));
        key = QStringLiteral("word");
        table = QStringLiteral("link");
        const QList<QStringList> contentsIndex =
            query(QDir(bundle).filePath(file),
                  QStringLiteral("SELECT letter, offset, count FROM contents_index ORDER BY id"));
        const QList<QStringList> linkIndex = query(
            dbPath, QStringLiteral("SELECT letter, offset, count FROM link_index ORDER BY id"));
        QCOMPARE(contentsIndex, linkIndex);
    }
    const QList<QStringList> rows =
        query(dbPath, QStringLiteral("SELECT id, %1 FROM %2 ORDER BY id").arg(key, table));
    const QList<QStringList> index =
        query(dbPath,
              QStringLiteral("SELECT letter, offset, count FROM %1_index ORDER BY id").arg(table));
    QVERIFY(!rows.isEmpty());
    QVERIFY(!index.isEmpty());

    int next = 1;
    QChar previous;
    for (const QStringList &range : index) {
        const QChar letter = range[0].at(0);
        QVERIFY2(previous.isNull() || letter > previous, qPrintable(range[0]));
        QCOMPARE(range[0], range[0].toLower());
        QCOMPARE(range[1].toInt(), next);
        for (int id = range[1].toInt(); id < range[1].toInt() + range[2].toInt(); ++id) {
            QCOMPARE(rows[id - 1][0].toInt(), id);
            QCOMPARE(rows[id - 1][1].toLower().at(0), letter);
        }
        next += range[2].toInt();
        previous = letter;
    }
    QCOMPARE(next - 1, rows.size());
}

void TestWLDictionaryCompiler::searchRowsCoverEveryLook()
{
    const QString bundle = buildSample();
    const QList<QStringList> equal = query(
        QDir(bundle).filePath(QStringLiteral("equal.db")),
        QStringLiteral("SELECT look, word, links, contents_ids FROM equal_search ORDER BY id"));
    const QList<QStringList> search =
        query(QDir(bundle).filePath(QStringLiteral("search.db")),
              QStringLiteral("SELECT look, word, link, contents_id FROM search ORDER BY id"));
    const QList<QStringList> bank =
        query(QDir(bundle).filePath(QStringLiteral("headword.db")),
              QStringLiteral("SELECT links, contents_ids FROM headword WHERE word = 'bank'"));
    QCOMPARE(bank.size(), 1);

    // Looks are folded, united over the merged lines, and each has one
    // whole-word row per entry and one partial row per fragment.
    QStringList bankLooks;
    for (const QStringList &row : equal) {
        if (row[1] != QLatin1String("bank"))
            continue;
        bankLooks.append(row[0]);
        QCOMPARE(row[2], bank[0][0]);
        QCOMPARE(row[3], bank[0][1]);
    }
    QCOMPARE(bankLooks, (QStringList{QStringLiteral("bank"), QStringLiteral("banking"),
                                     QStringLiteral("banks")}));
    int partial = 0;
    for (const QStringList &row : search) {
        if (row[1] != QLatin1String("bank"))
            continue;
        ++partial;
        const qsizetype n = bank[0][0].split(QLatin1Char('\t')).indexOf(row[2]);
        QVERIFY(n >= 0);
        QCOMPARE(row[3], bank[0][1].split(QLatin1Char('\t'))[n]);
    }
    QCOMPARE(partial, 3 * 3);
    // A headword without "look" is found under itself, in lower case.
    QVERIFY(std::any_of(equal.begin(), equal.end(), [](const QStringList &row) {
        return row[0] == QStringLiteral("straße") && row[1] == QStringLiteral("Straße");
    }));
}

void TestWLDictionaryCompiler::sameSourceGivesSameBytes()
{
    QVERIFY(write(path(QStringLiteral("src")), manifest(), sampleEntries()));
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(path(QStringLiteral("src")), path(QStringLiteral("one")),
                                         &error),
             qPrintable(error));
    QVERIFY2(WLDictionaryCompiler::build(path(QStringLiteral("src")), path(QStringLiteral("two")),
                                         &error),
             qPrintable(error));
    const QStringList files = listing(path(QStringLiteral("one")));
    QCOMPARE(files, listing(path(QStringLiteral("two"))));
    QVERIFY(files.contains(QStringLiteral("DatabaseInfo.plist")));
    QVERIFY(files.contains(QStringLiteral("contents.db")));
    for (const QString &file : files) {
        const QByteArray one = readAll(QDir(path(QStringLiteral("one"))).filePath(file));
        QVERIFY2(one == readAll(QDir(path(QStringLiteral("two"))).filePath(file)),
                 qPrintable(file));
    }
}

void TestWLDictionaryCompiler::charsets_data()
{
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QByteArray>("page");
    QTest::newRow("UTF-8") << QStringLiteral("UTF-8")
                           << QByteArray("<html><body><p>caf\xc3\xa9 \xc3\x9f</p></body></html>");
    QTest::newRow("ISO-8859-1") << QStringLiteral("ISO-8859-1")
                                << QByteArray("<html><body><p>caf\xe9 \xdf</p></body></html>");
}

void TestWLDictionaryCompiler::charsets()
{
    QFETCH(QString, charset);
    QFETCH(QByteArray, page);
    QVERIFY(write(path(QStringLiteral("src")), manifest(charset),
                  entry(QStringLiteral("café"), {QStringLiteral("<p>café ß</p>")})));
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(path(QStringLiteral("src")), path(QStringLiteral("out")),
                                         &error),
             qPrintable(error));
    const std::unique_ptr<WLDatabase> database = openBundle(path(QStringLiteral("out")));
    QVERIFY(database);
    QCOMPARE(database->htmlEncoding(), charset);
    QString word;
    QVERIFY(database->getName(&word, 1));
    QCOMPARE(word, QStringLiteral("café"));
    QCOMPARE(*database->newHtmlDataForIDs({1}, false), page);
}

void TestWLDictionaryCompiler::badSourceNamesFileAndLine_data()
{
    QTest::addColumn<QJsonObject>("source");
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<QString>("message");

    const QByteArray good = entry(QStringLiteral("one"), {QStringLiteral("<p>1</p>")});
    QTest::newRow("malformed JSON") << manifest() << good + "\n{\"headword\": \"two\",\n"
                                    << QStringLiteral("entries.jsonl:3: malformed JSON");
    QTest::newRow("not an object") << manifest() << good + "[1, 2]\n"
                                   << QStringLiteral("entries.jsonl:2: expected one JSON object");
    QTest::newRow("missing headword") << manifest() << good + "{\"fragments\": [\"<p>x</p>\"]}\n"
                                      << QStringLiteral("entries.jsonl:2: missing \"headword\"");
    QTest::newRow("no fragments")
        << manifest() << QByteArray("{\"headword\": \"x\", \"fragments\": []}\n")
        << QStringLiteral("entries.jsonl:1: \"fragments\" must be a non-empty array");
    QTest::newRow("tab in headword")
        << manifest() << entry(QStringLiteral("a\tb"), {QStringLiteral("x")})
        << QStringLiteral("entries.jsonl:1: \"headword\" must not contain tabs");
    QTest::newRow("misspelt key") << manifest()
                                  << QByteArray("{\"headword\": \"x\", \"fragment\": [\"y\"]}\n")
                                  << QStringLiteral("entries.jsonl:1: unknown key \"fragment\"");
    QTest::newRow("unknown target")
        << manifest()
        << good + "\n" + entry(QStringLiteral("two"), {QStringLiteral("<p>see [[nowhere]]</p>")})
        << QStringLiteral(
               "entries.jsonl:3: \"two\", fragment 1: unknown cross-reference target \"nowhere\"");
    QTest::newRow("fragment number too high")
        << manifest()
        << good + entry(QStringLiteral("two"), {QStringLiteral("x"), QStringLiteral("[[one#2]]")})
        << QStringLiteral(
               "entries.jsonl:2: \"two\", fragment 2: unknown cross-reference target \"one#2\"");
    QTest::newRow("open reference")
        << manifest() << entry(QStringLiteral("x"), {QStringLiteral("[[x")})
        << QStringLiteral("entries.jsonl:1: \"x\", fragment 1: cross-reference");
    QTest::newRow("unencodable")
        << manifest(QStringLiteral("ISO-8859-1"))
        << good + entry(QStringLiteral("two"), {QStringLiteral("<p>中</p>")})
        << QStringLiteral("entries.jsonl:2: \"two\", fragment 1: character U+4E2D '中' "
                          "cannot be written in ISO-8859-1");
    QTest::newRow("zero character")
        << manifest() << entry(QStringLiteral("x"), {QString(QChar(0))})
        << QStringLiteral("entries.jsonl:1: \"x\", fragment 1: contains U+0000");
    QTest::newRow("no entries") << manifest() << QByteArray("// nothing\n")
                                << QStringLiteral("entries.jsonl: no entries");

    QJsonObject noTitle = manifest();
    noTitle.remove(QStringLiteral("title"));
    QTest::newRow("no title") << noTitle << good
                              << QStringLiteral("manifest.json: missing \"title\"");
    QJsonObject badCharset = manifest(QStringLiteral("no-such-charset"));
    QTest::newRow("unknown charset")
        << badCharset << good
        << QStringLiteral("manifest.json:2: unknown charset \"no-such-charset\"");
    QTest::newRow("UTF-16") << manifest(QStringLiteral("UTF-16")) << good
                            << QStringLiteral(
                                   "manifest.json:2: charset \"UTF-16\" does not write ASCII");
    QJsonObject badHeader = manifest(QStringLiteral("US-ASCII"));
    badHeader.insert(QStringLiteral("header"), QStringLiteral("<p>é"));
    QTest::newRow("header not encodable")
        << badHeader << good << QStringLiteral("manifest.json:4: \"header\": character U+00E9");
    QJsonObject badColour = manifest();
    badColour.insert(QStringLiteral("appearance"),
                     QJsonObject{{QStringLiteral("textColor"), QStringLiteral("1, 0")}});
    QTest::newRow("bad colour")
        << badColour << good
        << QStringLiteral("manifest.json:3: \"appearance.textColor\" must be a colour");
    QJsonObject escaping = manifest();
    escaping.insert(QStringLiteral("icon"), QStringLiteral("../icon.png"));
    QTest::newRow("icon outside")
        << escaping << good
        << QStringLiteral("manifest.json:5: \"icon\": \"../icon.png\" must be a relative path");
}

void TestWLDictionaryCompiler::badSourceNamesFileAndLine()
{
    QFETCH(QJsonObject, source);
    QFETCH(QByteArray, entries);
    QFETCH(QString, message);

    QVERIFY(write(path(QStringLiteral("src")), source, entries));
    QString error;
    QVERIFY(!WLDictionaryCompiler::build(path(QStringLiteral("src")), path(QStringLiteral("out")),
                                         &error));
    QVERIFY2(error.startsWith(message), qPrintable(error));
    // Nothing left behind: no bundle, no half-built sibling.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("src")});
}

// Lines "w0" .. "w(count - 1)", with a comment and a blank line after every
// hundredth, so that line numbers and entry numbers differ.
QList<QByteArray> manyLines(int count)
{
    QList<QByteArray> lines;
    for (int i = 0; i < count; ++i) {
        lines.append(entry(QStringLiteral("w%1").arg(i), {QStringLiteral("<p>%1</p>").arg(i)}));
        if (i % 100 == 0)
            lines.append("// comment\n\n");
    }
    return lines;
}

// The entries file is read in pieces at once; whatever the pieces, the
// first bad line of the file is the one reported, under its own number.
void TestWLDictionaryCompiler::longSourceFirstBadLine_data()
{
    QTest::addColumn<QList<int>>("badAt");
    QTest::addColumn<QString>("message");
    // Indexes into manyLines(4000), whose comments take two lines each.
    QTest::newRow("near the start and the end")
        << QList<int>{10, 3990} << QStringLiteral("entries.jsonl:12: malformed JSON");
    QTest::newRow("in the middle and near the end")
        << QList<int>{2000, 3990} << QStringLiteral("entries.jsonl:2021: malformed JSON");
    QTest::newRow("last line") << QList<int>{4039}
                               << QStringLiteral("entries.jsonl:4080: malformed JSON");
}

void TestWLDictionaryCompiler::longSourceFirstBadLine()
{
    QFETCH(QList<int>, badAt);
    QFETCH(QString, message);
    QList<QByteArray> lines = manyLines(4000);
    for (const int at : badAt)
        lines[at] = "{\"headword\": \"broken\",\n";
    QVERIFY(write(path(QStringLiteral("src")), manifest(), lines.join()));
    QString error;
    QVERIFY(!WLDictionaryCompiler::build(path(QStringLiteral("src")), path(QStringLiteral("out")),
                                         &error));
    QVERIFY2(error.startsWith(message), qPrintable(error));
}

void TestWLDictionaryCompiler::longSourceMergesInFileOrder()
{
    QList<QByteArray> lines = manyLines(4000);
    lines.prepend(
        entry(QStringLiteral("twice"), {QStringLiteral("<p>first</p>")}, {QStringLiteral("one")}));
    lines.append(entry(QStringLiteral("twice"), {QStringLiteral("<p>last</p>")},
                       {QStringLiteral("two"), QStringLiteral("one")}));
    lines.insert(lines.size() / 2, entry(QStringLiteral("twice"), {QStringLiteral("<p>middle</p>")},
                                         {QStringLiteral("three")}));
    QVERIFY(write(path(QStringLiteral("src")), manifest(), lines.join()));
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(path(QStringLiteral("src")), path(QStringLiteral("out")),
                                         &error),
             qPrintable(error));

    const QList<QStringList> rows = query(
        path(QStringLiteral("out/headword.db")),
        QStringLiteral("SELECT look, links, contents_ids FROM headword WHERE word = 'twice'"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0], QStringLiteral("one\tthree\ttwo"));
    QCOMPARE(rows[0][1], QStringLiteral("twice#1\ttwice#2\ttwice#3"));
    const std::unique_ptr<WLDatabase> database = openBundle(path(QStringLiteral("out")));
    QVERIFY(database);
    const QStringList ids = rows[0][2].split(QLatin1Char('\t'));
    const std::optional<QByteArray> page =
        database->newHtmlDataForIDs(QVariantList(ids.begin(), ids.end()), false);
    QVERIFY(page);
    QCOMPARE(QString::fromUtf8(*page),
             kHeader + QStringLiteral("<p>first</p><hr><p>middle</p><hr><p>last</p>") + kFooter);
    QCOMPARE(query(path(QStringLiteral("out/headword.db")),
                   QStringLiteral("SELECT count(*) FROM headword"))[0][0],
             QStringLiteral("4001"));
}

// Rows go into the tables many to a statement; the counts around a batch's
// size must all come out whole.
void TestWLDictionaryCompiler::everyRowWhateverTheCount_data()
{
    QTest::addColumn<int>("count");
    for (const int count : {1, 63, 64, 65, 128, 130})
        QTest::addRow("%d", count) << count;
}

void TestWLDictionaryCompiler::everyRowWhateverTheCount()
{
    QFETCH(int, count);
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += entry(QStringLiteral("w%1").arg(i, 4, 10, QLatin1Char('0')),
                       {QStringLiteral("<p>%1</p>").arg(i)});
    QVERIFY(write(path(QStringLiteral("src")), manifest(), lines));
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(path(QStringLiteral("src")), path(QStringLiteral("out")),
                                         &error),
             qPrintable(error));

    const QList<std::pair<QString, QString>> tables{
        {QStringLiteral("headword.db"), QStringLiteral("SELECT id, word FROM headword")},
        {QStringLiteral("link.db"), QStringLiteral("SELECT id, word FROM link")},
        {QStringLiteral("search.db"), QStringLiteral("SELECT id, word FROM search")},
        {QStringLiteral("equal.db"), QStringLiteral("SELECT id, word FROM equal_search")},
    };
    for (const auto &[file, sql] : tables) {
        const QList<QStringList> rows = query(QDir(path(QStringLiteral("out"))).filePath(file),
                                              sql + QStringLiteral(" ORDER BY id"));
        QCOMPARE(rows.size(), count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(rows[i][0].toInt(), i + 1);
            QCOMPARE(rows[i][1], QStringLiteral("w%1").arg(i, 4, 10, QLatin1Char('0')));
        }
    }
}

void TestWLDictionaryCompiler::existingBundleIsReplacedOnlyOnSuccess()
{
    const QString out = buildSample();
    const QByteArray before = readAll(QDir(out).filePath(QStringLiteral("DatabaseInfo.plist")));
    const QStringList files = listing(out);
    QVERIFY(!before.isEmpty());

    QVERIFY(write(path(QStringLiteral("bad")), manifest(),
                  entry(QStringLiteral("x"), {QStringLiteral("[[missing]]")})));
    QString error;
    QVERIFY(!WLDictionaryCompiler::build(path(QStringLiteral("bad")), out, &error));
    QCOMPARE(listing(out), files);
    QCOMPARE(readAll(QDir(out).filePath(QStringLiteral("DatabaseInfo.plist"))), before);

    QJsonObject renamed = manifest();
    renamed.insert(QStringLiteral("title"), QStringLiteral("Second Edition"));
    QVERIFY(write(path(QStringLiteral("good")), renamed,
                  entry(QStringLiteral("x"), {QStringLiteral("y")})));
    QVERIFY2(WLDictionaryCompiler::build(path(QStringLiteral("good")), out, &error),
             qPrintable(error));
    const std::unique_ptr<WLDatabase> database = openBundle(out);
    QVERIFY(database);
    QCOMPARE(database->title(), QStringLiteral("Second Edition"));
    QCOMPARE(database->sectionCount(), 1u);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{QStringLiteral("bad"), QStringLiteral("bundle"), QStringLiteral("good"),
                          QStringLiteral("src")}));
}

void TestWLDictionaryCompiler::refusesToReplaceWhatIsNoBundle()
{
    QVERIFY(write(path(QStringLiteral("src")), manifest(),
                  entry(QStringLiteral("x"), {QStringLiteral("y")})));
    QVERIFY(QDir().mkpath(path(QStringLiteral("home"))));
    QVERIFY(writeFile(path(QStringLiteral("home/notes.txt")), "keep me"));
    QString error;
    QVERIFY(!WLDictionaryCompiler::build(path(QStringLiteral("src")), path(QStringLiteral("home")),
                                         &error));
    QVERIFY2(error.contains(QLatin1String("is not a dictionary bundle")), qPrintable(error));
    QCOMPARE(readAll(path(QStringLiteral("home/notes.txt"))), QByteArray("keep me"));
    QVERIFY(!WLDictionaryCompiler::build(path(QStringLiteral("src")), path(QStringLiteral("src")),
                                         &error));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("src/manifest.json"))));
}

QTEST_GUILESS_MAIN(TestWLDictionaryCompiler)
#include "tst_wldictionarycompiler.moc"
