#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLProgress.h"
#include "WLPropertyList.h"
#include "WLSourceFixture.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <memory>

using namespace Qt::StringLiterals;
using namespace WLSourceFixture;

namespace {

std::unique_ptr<WLDatabase> openBundle(const QString &dir)
{
    WLBundle::setResourcePath(dir);
    return WLDatabase::initWithPropertyListFile(QDir(dir).filePath(u"DatabaseInfo.plist"_s));
}

// Rows of one query on a bundle file, each row as text cells.
QList<QStringList> query(const QString &file, const QString &sql)
{
    QList<QStringList> rows;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
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
    }
    sqlite3_close(db);
    return rows;
}

// The database file the bundle's description names for a table.
QString fileOf(const QString &bundle, const QString &table)
{
    static const QHash<QString, QString> keys = {
        {u"headword"_s, u"KXPropHeadwordDatabaseFileName"_s},
        {u"link"_s, u"KXPropContentsLinkDatabaseFileName"_s},
        {u"search"_s, u"KXPropSearchDatabaseFileName"_s},
        {u"equal_search"_s, u"KXPropEqualSearchDatabaseFileName"_s},
        {u"contents"_s, u"KXPropContentsDatabaseFileName"_s}};
    const QVariantMap info =
        WLPropertyList::readFile(QDir(bundle).filePath(u"DatabaseInfo.plist"_s)).toMap();
    return QDir(bundle).filePath(info.value(keys.value(table)).toString());
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
    return entry(u"river"_s, {u"<p>water; see [[bank#2|the bank]]</p>"_s}) +
           "// a comment line, then a blank one\n\n" +
           entry(u"bank"_s, {u"<p>money &amp; loans</p>"_s, u"<p>by a [[river]]</p>"_s},
                 {u"Bank"_s, u"banks"_s}) +
           entry(u"café"_s, {u"<p>coffee, [[C#|C<sharp>]]</p>"_s}) +
           entry(u"C#"_s, {u"<p>a language</p>"_s}) + entry(u"Straße"_s, {u"<p>street</p>"_s}) +
           entry(u"ß"_s, {u"<p>sharp s</p>"_s}) + entry(u"42"_s, {u"<p>a number</p>"_s}) +
           entry(u"Édith"_s, {QString()}) +
           entry(u"bank"_s, {u"<p>idiom</p>"_s}, {u"banking"_s}) +
           // The same text twice, and copies: each stored once.
           entry(u"colour"_s, {u"<p>a hue; see [[gray]]</p>"_s}) +
           entry(u"color"_s, {u"<p>a hue; see [[gray]]</p>"_s}) +
           entry(u"grey"_s, {u"<p>a colour</p>"_s, u"<p>to age</p>"_s}) +
           R"({"headword": "gray", "fragments": [{"sameAs": "grey#2"}, "<p>a colour</p>"]})" "\n";
}

// Lines "w0" .. "w(count - 1)", with a comment and a blank line after every
// hundredth, so that line numbers and entry numbers differ.
QList<QByteArray> manyLines(int count)
{
    QList<QByteArray> lines;
    for (int i = 0; i < count; ++i) {
        lines.append(entry(u"w%1"_s.arg(i), {u"<p>%1</p>"_s.arg(i)}));
        if (i % 100 == 0)
            lines.append("// comment\n\n");
    }
    return lines;
}

} // namespace

class TestWLDictionaryCompiler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void everyPageIsHeaderFragmentsAndFooter();
    void crossReferencesBecomeLinkIDs();
    void identicalFragmentsShareOneContentsRow();
    void headwordOrder_data();
    void headwordOrder();
    void letterIndexTablesMatchTheRows_data();
    void letterIndexTablesMatchTheRows();
    void searchRowsCoverEveryLook();
    void sameSourceGivesSameBytes_data();
    void sameSourceGivesSameBytes();
    void tableLayoutsAnswerTheSameQueries_data();
    void tableLayoutsAnswerTheSameQueries();
    void charsets_data();
    void charsets();
    void badSourceNamesFileAndLine_data();
    void badSourceNamesFileAndLine();
    void longSourceMergesInFileOrder();
    void everyRowWhateverTheCount_data();
    void everyRowWhateverTheCount();
    void outputIsReplacedOnlyWhenSafe();
    void aboutFolderStaysInsideTheSource();
    void progressNamesEveryPhase();
    void identifierFromManifestOrTitle_data();
    void identifierFromManifestOrTitle();
    void aboutPage_data();
    void aboutPage();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Writes the source under "src" and builds it into out.
    bool build(const QJsonObject &source, const QByteArray &entries, const QString &out,
               QString *error)
    {
        return write(path(u"src"_s), source, entries) &&
               WLDictionaryCompiler::build(path(u"src"_s), path(out), error);
    }
    QString buildSample()
    {
        QString error;
        if (!build(manifest(), sampleEntries(), u"bundle"_s, &error))
            qWarning("%s", qPrintable(error));
        return path(u"bundle"_s);
    }
    // Word to its contents IDs, from the headword table.
    QHash<QString, QStringList> contentsIDsOfWords(const QString &bundle) const
    {
        QHash<QString, QStringList> ids;
        const QList<QStringList> rows = query(fileOf(bundle, u"headword"_s),
                                              u"SELECT word, contents_ids FROM headword"_s);
        for (const QStringList &row : rows)
            ids.insert(row[0], row[1].split(u'\t'));
        return ids;
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

    // The expected fragments of each headword; a null one holds a link
    // (see crossReferencesBecomeLinkIDs) and is read on its own.
    const QHash<QString, QStringList> fragments{
        {u"bank"_s, {u"<p>money &amp; loans</p>"_s, QString(), u"<p>idiom</p>"_s}},
        {u"Straße"_s, {u"<p>street</p>"_s}},
        {u"ß"_s, {u"<p>sharp s</p>"_s}},
        {u"42"_s, {u"<p>a number</p>"_s}},
        {u"Édith"_s, {u""_s}},
        {u"C#"_s, {u"<p>a language</p>"_s}},
        {u"grey"_s, {u"<p>a colour</p>"_s, u"<p>to age</p>"_s}},
        {u"gray"_s, {u"<p>to age</p>"_s, u"<p>a colour</p>"_s}},
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
                QCOMPARE(links[n], u"%1#%2"_s.arg(word).arg(n + 1));
            ++seen;
            if (!fragments.contains(word))
                continue;
            QStringList expected = fragments.value(word);
            QCOMPARE(contentsIDs.size(), expected.size());
            for (qsizetype n = 0; n < expected.size(); ++n) {
                if (!expected[n].isNull())
                    continue;
                const QByteArray own = *database->newHtmlDataForID(contentsIDs[n].toInt(), false);
                expected[n] = QString::fromUtf8(
                    own.mid(kHeader.size(), own.size() - kHeader.size() - kFooter.size()));
                QVERIFY(expected[n].contains(u"<a href=\"#"_s));
            }
            const QVariantList ids(contentsIDs.begin(), contentsIDs.end());
            for (const bool large : {false, true}) {
                const std::optional<QByteArray> page = database->newHtmlDataForIDs(ids, large);
                QVERIFY(page);
                QCOMPARE(QString::fromUtf8(*page),
                         (large ? kLargeHeader : kHeader) + expected.join(kSeparator) + kFooter);
            }
        }
    }
    QCOMPARE(seen, 12); // the two lines of "bank" are one headword
}

void TestWLDictionaryCompiler::crossReferencesBecomeLinkIDs()
{
    const QString bundle = buildSample();
    const std::unique_ptr<WLDatabase> database = openBundle(bundle);
    QVERIFY(database);
    const QHash<QString, QStringList> idsOf = contentsIDsOfWords(bundle);
    QHash<QString, int> linkIDOf;
    const QList<QStringList> links =
        query(fileOf(bundle, u"link"_s), u"SELECT id, link FROM link"_s);
    for (const QStringList &row : links)
        linkIDOf.insert(row[1], row[0].toInt());

    struct Case
    {
        QString word;
        int fragment;
        QString target;
        QString shown;
        int targetFragment;
    };
    const QList<Case> cases{
        {u"river"_s, 0, u"bank"_s, u"the bank"_s, 1},
        {u"bank"_s, 1, u"river"_s, u"river"_s, 0},
        {u"café"_s, 0, u"C#"_s, u"C&lt;sharp&gt;"_s, 0},
        // A copy has a link of its own, which shows the copy's word.
        {u"colour"_s, 0, u"gray"_s, u"gray"_s, 0},
    };
    for (const Case &c : cases) {
        const QByteArray page =
            *database->newHtmlDataForID(idsOf[c.word][c.fragment].toInt(), false);
        const QString linkText = u"%1#%2"_s.arg(c.target).arg(c.targetFragment + 1);
        const int linkID = linkIDOf.value(linkText);
        QVERIFY2(page.contains(u"<a href=\"#%1\">%2</a>"_s.arg(linkID).arg(c.shown).toUtf8()),
                 page.constData());
        QString word;
        QString link;
        int contentsID = 0;
        QVERIFY(database->getName(&word, &link, &contentsID, linkID));
        QCOMPARE(word, c.target);
        QCOMPARE(link, linkText);
        QCOMPARE(contentsID, idsOf[c.target][c.targetFragment].toInt());
    }
}

void TestWLDictionaryCompiler::identicalFragmentsShareOneContentsRow()
{
    const QString bundle = buildSample();
    const QHash<QString, QStringList> idsOf = contentsIDsOfWords(bundle);
    QCOMPARE(idsOf[u"color"_s], idsOf[u"colour"_s]);
    QCOMPARE(idsOf[u"gray"_s], (QStringList{idsOf[u"grey"_s][1], idsOf[u"grey"_s][0]}));

    // One link per fragment of every headword, one contents row per text.
    const QString links = fileOf(bundle, u"link"_s);
    QCOMPARE(query(links, u"SELECT count(*) FROM link"_s)[0][0], u"16"_s);
    QCOMPARE(query(QDir(bundle).filePath(u"contents.db"_s), u"SELECT count(*) FROM contents"_s),
             QList<QStringList>{QStringList{u"13"_s}});
    QCOMPARE(query(links, u"SELECT contents_id FROM link WHERE word = 'gray' ORDER BY link"_s),
             (QList<QStringList>{{idsOf[u"grey"_s][1]}, {idsOf[u"grey"_s][0]}}));
    // Searches show each headword's own link with the shared text.
    QCOMPARE(query(fileOf(bundle, u"search"_s),
                   u"SELECT link, contents_id FROM search WHERE word = 'color'"_s),
             (QList<QStringList>{{u"color#1"_s, idsOf[u"colour"_s][0]}}));
}

void TestWLDictionaryCompiler::headwordOrder_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("headwords");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("sections");

    QTest::newRow("root") << u"root"_s
                          << QStringList{u"zebra"_s, u"Édith"_s, u"apple"_s, u"42"_s,
                                         u"ß"_s, u"Straße"_s, u"éclair"_s, u"Eagle"_s,
                                         u"banana"_s, u"_x"_s, u"Apple"_s, u"öl"_s}
                          << QStringList{u"_x"_s, u"42"_s, u"apple"_s, u"Apple"_s,
                                         u"banana"_s, u"Eagle"_s, u"éclair"_s, u"Édith"_s,
                                         u"öl"_s, u"Straße"_s, u"ß"_s, u"zebra"_s}
                          << QStringList{u"#"_s, u"A"_s, u"B"_s, u"E"_s,
                                         u"O"_s, u"S"_s, u"SS"_s, u"Z"_s};
    // Swedish sorts "ö" after "z"; the section comes from the decomposed
    // letter all the same.
    QTest::newRow("swedish") << u"sv"_s << QStringList{u"zebra"_s, u"öl"_s, u"ost"_s, u"oz"_s}
                             << QStringList{u"ost"_s, u"oz"_s, u"öl"_s, u"zebra"_s}
                             << QStringList{u"O"_s, u"Z"_s};
}

void TestWLDictionaryCompiler::headwordOrder()
{
    QFETCH(QString, language);
    QFETCH(QStringList, headwords);
    QFETCH(QStringList, order);
    QFETCH(QStringList, sections);

    QByteArray entries;
    for (const QString &word : std::as_const(headwords))
        entries += entry(word, {u"<p>%1</p>"_s.arg(word)});
    QJsonObject source = manifest();
    source.insert(u"language"_s, language);
    QString error;
    QVERIFY2(build(source, entries, u"out"_s, &error), qPrintable(error));

    const std::unique_ptr<WLDatabase> database = openBundle(path(u"out"_s));
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
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("rows");

    // The contents hold no words: a contents row goes with the first link
    // that uses it.
    QTest::newRow("contents") << u"contents"_s << u"KXPropContentsIndexTableName"_s
                              << u"SELECT contents_id, word FROM link AS l WHERE id = (SELECT "
                                 "min(id) FROM link WHERE contents_id = l.contents_id) "
                                 "ORDER BY contents_id"_s;
    QTest::newRow("link") << u"link"_s << u"KXPropContentsLinkIndexTableName"_s
                          << u"SELECT id, word FROM link ORDER BY id"_s;
    QTest::newRow("search") << u"search"_s << u"KXPropSearchIndexTableName"_s
                            << u"SELECT id, look FROM search ORDER BY id"_s;
    QTest::newRow("whole-word") << u"equal_search"_s << u"KXPropEqualSearchIndexTableName"_s
                                << u"SELECT id, look FROM equal_search ORDER BY id"_s;
}

void TestWLDictionaryCompiler::letterIndexTablesMatchTheRows()
{
    QFETCH(QString, table);
    QFETCH(QString, index);
    QFETCH(QString, rows);

    const QString bundle = buildSample();
    const QString indexTable =
        WLPropertyList::readFile(QDir(bundle).filePath(u"DatabaseInfo.plist"_s))
            .toMap()
            .value(index)
            .toString();
    // The whole-word rows of the shared layout are the search rows of first
    // fragments: their IDs may leave gaps, which no range needs to skip.
    QMap<int, QString> keys;
    for (const QStringList &row :
         query(fileOf(bundle, table == u"contents"_s ? u"link"_s : table), rows))
        keys.insert(row[0].toInt(), row[1]);
    const QList<QStringList> ranges = query(
        fileOf(bundle, table),
        u"SELECT letter, offset, count FROM \"%1\" ORDER BY id"_s.arg(indexTable));
    QVERIFY(!keys.isEmpty());
    QVERIFY(!ranges.isEmpty());

    int next = 1;
    qsizetype covered = 0;
    QChar previous;
    for (const QStringList &range : ranges) {
        const QChar letter = range[0].at(0);
        QVERIFY2(previous.isNull() || letter > previous, qPrintable(range[0]));
        QCOMPARE(range[0], range[0].toLower());
        QCOMPARE(range[1].toInt(), next);
        for (int id = next; id < next + range[2].toInt(); ++id) {
            if (!keys.contains(id))
                continue;
            QCOMPARE(keys[id].toLower().at(0), letter);
            ++covered;
        }
        next += range[2].toInt();
        previous = letter;
    }
    QCOMPARE(covered, keys.size());
    QCOMPARE(next - 1, keys.lastKey());
}

void TestWLDictionaryCompiler::searchRowsCoverEveryLook()
{
    const QString bundle = buildSample();
    const QList<QStringList> equal =
        query(fileOf(bundle, u"equal_search"_s),
              u"SELECT look, word, links, contents_ids FROM equal_search ORDER BY id"_s);
    const QList<QStringList> search =
        query(fileOf(bundle, u"search"_s),
              u"SELECT look, word, link, contents_id FROM search ORDER BY id"_s);
    const QList<QStringList> bank =
        query(fileOf(bundle, u"headword"_s),
              u"SELECT links, contents_ids FROM headword WHERE word = 'bank'"_s);
    QCOMPARE(bank.size(), 1);

    // Looks are folded, united over the merged lines, and each has one
    // whole-word row per entry and one partial row per fragment.
    QStringList bankLooks;
    for (const QStringList &row : equal) {
        if (row[1] != u"bank"_s)
            continue;
        bankLooks.append(row[0]);
        QCOMPARE(row.mid(2), bank[0]);
    }
    QCOMPARE(bankLooks, (QStringList{u"bank"_s, u"banking"_s, u"banks"_s}));
    int partial = 0;
    for (const QStringList &row : search) {
        if (row[1] != u"bank"_s)
            continue;
        ++partial;
        const qsizetype n = bank[0][0].split(u'\t').indexOf(row[2]);
        QVERIFY(n >= 0);
        QCOMPARE(row[3], bank[0][1].split(u'\t')[n]);
    }
    QCOMPARE(partial, 3 * 3);
    // A headword without "look" is found under itself, in lower case.
    QVERIFY(std::any_of(equal.begin(), equal.end(), [](const QStringList &row) {
        return row[0] == u"straße"_s && row[1] == u"Straße"_s;
    }));
}

void TestWLDictionaryCompiler::sameSourceGivesSameBytes_data()
{
    QTest::addColumn<WLTableLayout>("tables");
    QTest::newRow("shared") << WLTableLayout::Shared;
    QTest::newRow("separate") << WLTableLayout::Separate;
}

void TestWLDictionaryCompiler::sameSourceGivesSameBytes()
{
    QFETCH(WLTableLayout, tables);
    QString error;
    QVERIFY(write(path(u"src"_s), manifest(), sampleEntries()));
    for (const QString &out : {u"one"_s, u"two"_s})
        QVERIFY2(WLDictionaryCompiler::build(path(u"src"_s), path(out), &error, nullptr, nullptr,
                                             {tables}),
                 qPrintable(error));
    const QStringList files = listing(path(u"one"_s));
    QCOMPARE(files, listing(path(u"two"_s)));
    QVERIFY(files.contains(u"DatabaseInfo.plist"_s));
    QVERIFY(files.contains(u"contents.db"_s));
    for (const QString &file : files) {
        QVERIFY2(readAll(QDir(path(u"one"_s)).filePath(file)) ==
                     readAll(QDir(path(u"two"_s)).filePath(file)),
                 qPrintable(file));
    }
}

// Every query the reader makes of the four tables, over every letter range
// of their indexes and every ID, answers the same rows in both layouts.
void TestWLDictionaryCompiler::tableLayoutsAnswerTheSameQueries_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("sql");
    QTest::newRow("headword") << u"headword"_s << QString()
                              << u"SELECT word, links, contents_ids FROM headword WHERE id = ?1"_s;
    QTest::newRow("link") << u"link"_s << QString()
                          << u"SELECT word, link, contents_id FROM link WHERE id = ?1"_s;
    QTest::newRow("search") << u"search"_s << u"KXPropSearchIndexTableName"_s
                            << u"SELECT word, link, contents_id FROM search "
                               "WHERE id BETWEEN ?1 AND ?2 AND look LIKE ?3 ESCAPE '\\'"_s;
    QTest::newRow("whole-word")
        << u"equal_search"_s << u"KXPropEqualSearchIndexTableName"_s
        << u"SELECT word, links, contents_ids FROM equal_search "
           "WHERE id BETWEEN ?1 AND ?2 AND look LIKE ?3 ESCAPE '\\'"_s;
}

void TestWLDictionaryCompiler::tableLayoutsAnswerTheSameQueries()
{
    QFETCH(QString, table);
    QFETCH(QString, index);
    QFETCH(QString, sql);
    QVERIFY(write(path(u"src"_s), manifest(), sampleEntries()));
    QString error;
    QList<QStringList> answers[2];
    for (const WLTableLayout tables : {WLTableLayout::Separate, WLTableLayout::Shared}) {
        const QString out = tables == WLTableLayout::Shared ? u"shared"_s : u"separate"_s;
        QVERIFY2(WLDictionaryCompiler::build(path(u"src"_s), path(out), &error, nullptr, nullptr,
                                             {tables}),
                 qPrintable(error));
        const QString file = fileOf(path(out), table);
        QList<QStringList> &answer = answers[tables == WLTableLayout::Shared];
        const auto ask = [&](const QString &question, const QString &bound) {
            answer.append({question});
            answer += query(file, QString(sql).replace(u"?1"_s, bound));
        };
        if (index.isEmpty()) {
            for (int id = 0; id <= 20; ++id)
                ask(QString::number(id), QString::number(id));
            continue;
        }
        const QString indexTable =
            WLPropertyList::readFile(QDir(path(out)).filePath(u"DatabaseInfo.plist"_s))
                .toMap()
                .value(index)
                .toString();
        const QList<QStringList> ranges =
            query(file, u"SELECT letter, offset, offset + count - 1 FROM \"%1\" ORDER BY id"_s.arg(
                            indexTable));
        QVERIFY(!ranges.isEmpty());
        for (const QStringList &range : ranges) {
            for (const QString &pattern : {range[0] + u"%"_s, range[0] + u"_%"_s, u"%a%"_s}) {
                ask(range[0] + u' ' + pattern,
                    range[1] + u" AND "_s + range[2] + u" AND look LIKE '"_s + pattern + u"' --"_s);
            }
        }
    }
    QVERIFY(answers[0].size() > 20);
    QCOMPARE(answers[1], answers[0]);
}

void TestWLDictionaryCompiler::charsets_data()
{
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QByteArray>("page");
    QTest::newRow("UTF-8") << u"UTF-8"_s
                           << QByteArray("<html><body><p>caf\xc3\xa9 \xc3\x9f</p></body></html>");
    QTest::newRow("ISO-8859-1") << u"ISO-8859-1"_s
                                << QByteArray("<html><body><p>caf\xe9 \xdf</p></body></html>");
}

void TestWLDictionaryCompiler::charsets()
{
    QFETCH(QString, charset);
    QFETCH(QByteArray, page);
    QString error;
    QVERIFY2(build(manifest(charset), entry(u"café"_s, {u"<p>café ß</p>"_s}), u"out"_s, &error),
             qPrintable(error));
    const std::unique_ptr<WLDatabase> database = openBundle(path(u"out"_s));
    QVERIFY(database);
    QCOMPARE(database->htmlEncoding(), charset);
    QString word;
    QVERIFY(database->getName(&word, 1));
    QCOMPARE(word, u"café"_s);
    QCOMPARE(*database->newHtmlDataForIDs({1}, false), page);
}

void TestWLDictionaryCompiler::badSourceNamesFileAndLine_data()
{
    QTest::addColumn<QJsonObject>("source");
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<QString>("message");

    const QByteArray good = entry(u"one"_s, {u"<p>1</p>"_s});
    const auto row = [&](const char *name, const QByteArray &entries, const QString &message) {
        QTest::newRow(name) << manifest() << entries << message;
    };
    row("malformed JSON", good + "\n{\"headword\": \"two\",\n", u"entries.jsonl:3: malformed JSON"_s);
    row("not an object", good + "[1, 2]\n", u"entries.jsonl:2: expected one JSON object"_s);
    row("missing headword", good + "{\"fragments\": [\"<p>x</p>\"]}\n",
        u"entries.jsonl:2: missing \"headword\""_s);
    row("no fragments", "{\"headword\": \"x\", \"fragments\": []}\n",
        u"entries.jsonl:1: \"fragments\" must be a non-empty array"_s);
    row("tab in headword", entry(u"a\tb"_s, {u"x"_s}),
        u"entries.jsonl:1: \"headword\" must not contain tabs"_s);
    row("misspelt key", "{\"headword\": \"x\", \"fragment\": [\"y\"]}\n",
        u"entries.jsonl:1: unknown key \"fragment\""_s);
    row("unknown target", good + "\n" + entry(u"two"_s, {u"<p>see [[nowhere]]</p>"_s}),
        u"entries.jsonl:3: \"two\", fragment 1: unknown cross-reference target \"nowhere\""_s);
    row("fragment number too high", good + entry(u"two"_s, {u"x"_s, u"[[one#2]]"_s}),
        u"entries.jsonl:2: \"two\", fragment 2: unknown cross-reference target \"one#2\""_s);
    row("open reference", entry(u"x"_s, {u"[[x"_s}),
        u"entries.jsonl:1: \"x\", fragment 1: cross-reference"_s);
    row("zero character", entry(u"x"_s, {QString(QChar(0))}),
        u"entries.jsonl:1: \"x\", fragment 1: contains U+0000"_s);
    row("no entries", "// nothing\n", u"entries.jsonl: no entries"_s);
    row("copy of nothing", good + R"({"headword": "two", "fragments": ["x", {"sameAs": "one#2"}]})",
        u"entries.jsonl:2: \"two\", fragment 2: \"sameAs\": no fragment \"one#2\""_s);
    row("copy without a number", good + R"({"headword": "two", "fragments": [{"sameAs": "one"}]})",
        u"entries.jsonl:2: \"two\", fragment 1: \"sameAs\": no fragment \"one\""_s);
    row("copy of a copy",
        good + R"({"headword": "two", "fragments": [{"sameAs": "one#1"}]})" "\n" +
            R"({"headword": "three", "fragments": [{"sameAs": "two#1"}]})",
        u"entries.jsonl:3: \"three\", fragment 1: \"sameAs\": \"two#1\" is itself a copy"_s);
    row("copy with text", R"({"headword": "x", "fragments": [{"sameAs": "x#1", "html": ""}]})",
        u"entries.jsonl:1: fragment 1: \"sameAs\" stands alone"_s);
    // The entries file is read in pieces at once; whatever the pieces, the
    // first bad line of the file is the one reported, under its own number
    // (the comments of manyLines take two lines each).
    const struct
    {
        const char *name;
        QList<int> badAt;
        int line;
    } broken[] = {{"near the start and the end", {10, 3990}, 12},
                  {"in the middle and near the end", {2000, 3990}, 2021},
                  {"last line", {4039}, 4080}};
    for (const auto &b : broken) {
        QList<QByteArray> lines = manyLines(4000);
        for (const int at : b.badAt)
            lines[at] = "{\"headword\": \"broken\",\n";
        row(b.name, lines.join(), u"entries.jsonl:%1: malformed JSON"_s.arg(b.line));
    }

    QJsonObject noTitle = manifest();
    noTitle.remove(u"title"_s);
    QTest::newRow("no title") << noTitle << good << u"manifest.json: missing \"title\""_s;
    QJsonObject aboutList = manifest();
    aboutList.insert(u"about"_s, QJsonArray{u"text"_s});
    QTest::newRow("about not text") << aboutList << good
                                    << u"manifest.json:2: \"about\" must be a string"_s;
    for (const QString &bad : {u"has space"_s, u""_s, QString(101, u'x'), u"caf\u00e9"_s}) {
        QJsonObject source = manifest();
        source.insert(u"identifier"_s, bad);
        QTest::addRow("identifier \"%s\"", qPrintable(bad.left(10)))
            << source << good << u"manifest.json:5: \"identifier\" must be 1 to 100"_s;
    }
    QTest::newRow("unknown charset") << manifest(u"no-such-charset"_s) << good
                                     << u"manifest.json:2: unknown charset \"no-such-charset\""_s;
    QTest::newRow("UTF-16") << manifest(u"UTF-16"_s) << good
                            << u"manifest.json:2: charset \"UTF-16\" does not write ASCII"_s;
    QTest::newRow("unencodable")
        << manifest(u"ISO-8859-1"_s) << good + entry(u"two"_s, {u"<p>中</p>"_s})
        << u"entries.jsonl:2: \"two\", fragment 1: character U+4E2D '中' cannot be written in "
           "ISO-8859-1"_s;
    const QList<std::tuple<const char *, QString, QJsonValue, QString>> manifestValues{
        {"header not encodable", u"header"_s, u"<p>é"_s,
         u"manifest.json:4: \"header\": character U+00E9"_s},
        {"bad colour", u"appearance"_s, QJsonObject{{u"textColor"_s, u"1, 0"_s}},
         u"manifest.json:3: \"appearance.textColor\" must be a colour"_s},
        {"icon outside", u"icon"_s, u"../icon.png"_s,
         u"manifest.json:5: \"icon\": \"../icon.png\" must be a relative path"_s},
    };
    for (const auto &[name, key, value, message] : manifestValues) {
        QJsonObject source = manifest(u"US-ASCII"_s);
        source.insert(key, value);
        QTest::newRow(name) << source << good << message;
    }
}

void TestWLDictionaryCompiler::badSourceNamesFileAndLine()
{
    QFETCH(QJsonObject, source);
    QFETCH(QByteArray, entries);
    QFETCH(QString, message);

    QString error;
    QVERIFY(!build(source, entries, u"out"_s, &error));
    QVERIFY2(error.startsWith(message), qPrintable(error));
    // Nothing left behind: no bundle, no half-built sibling.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{u"src"_s});
}

void TestWLDictionaryCompiler::longSourceMergesInFileOrder()
{
    QList<QByteArray> lines = manyLines(4000);
    lines.prepend(entry(u"twice"_s, {u"<p>first</p>"_s}, {u"one"_s}));
    lines.append(entry(u"twice"_s, {u"<p>last</p>"_s}, {u"two"_s, u"one"_s}));
    lines.insert(lines.size() / 2, entry(u"twice"_s, {u"<p>middle</p>"_s}, {u"three"_s}));
    QString error;
    QVERIFY2(build(manifest(), lines.join(), u"out"_s, &error), qPrintable(error));

    const QString headwords = fileOf(path(u"out"_s), u"headword"_s);
    const QList<QStringList> rows = query(
        headwords, u"SELECT links, contents_ids FROM headword WHERE word = 'twice'"_s);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(query(fileOf(path(u"out"_s), u"equal_search"_s),
                   u"SELECT look FROM equal_search WHERE word = 'twice' ORDER BY id"_s),
             (QList<QStringList>{{u"one"_s}, {u"three"_s}, {u"two"_s}}));
    QCOMPARE(rows[0][0], u"twice#1\ttwice#2\ttwice#3"_s);
    const std::unique_ptr<WLDatabase> database = openBundle(path(u"out"_s));
    QVERIFY(database);
    const QStringList ids = rows[0][1].split(u'\t');
    const std::optional<QByteArray> page =
        database->newHtmlDataForIDs(QVariantList(ids.begin(), ids.end()), false);
    QVERIFY(page);
    QCOMPARE(QString::fromUtf8(*page),
             kHeader + u"<p>first</p><hr><p>middle</p><hr><p>last</p>"_s + kFooter);
    QCOMPARE(query(headwords, u"SELECT count(*) FROM headword"_s)[0][0], u"4001"_s);
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
        lines += entry(u"w%1"_s.arg(i, 4, 10, QLatin1Char('0')), {u"<p>%1</p>"_s.arg(i)});
    QString error;
    QVERIFY2(build(manifest(), lines, u"out"_s, &error), qPrintable(error));

    for (const QString &table : {u"headword"_s, u"link"_s, u"search"_s, u"equal_search"_s}) {
        const QList<QStringList> rows = query(fileOf(path(u"out"_s), table),
                                              u"SELECT id, word FROM %1 ORDER BY id"_s.arg(table));
        QCOMPARE(rows.size(), count);
        for (int i = 0; i < count; ++i)
            QCOMPARE(rows[i], (QStringList{QString::number(i + 1),
                                           u"w%1"_s.arg(i, 4, 10, QLatin1Char('0'))}));
    }
}

void TestWLDictionaryCompiler::outputIsReplacedOnlyWhenSafe()
{
    const QString out = buildSample();
    const QByteArray before = readAll(QDir(out).filePath(u"DatabaseInfo.plist"_s));
    const QStringList files = listing(out);
    QVERIFY(!before.isEmpty());

    // A failed build leaves the old bundle as it was.
    QVERIFY(write(path(u"bad"_s), manifest(), entry(u"x"_s, {u"[[missing]]"_s})));
    QString error;
    QVERIFY(!WLDictionaryCompiler::build(path(u"bad"_s), out, &error));
    QCOMPARE(listing(out), files);
    QCOMPARE(readAll(QDir(out).filePath(u"DatabaseInfo.plist"_s)), before);

    // A good one replaces it, and leaves nothing beside it.
    QJsonObject renamed = manifest();
    renamed.insert(u"title"_s, u"Second Edition"_s);
    QVERIFY(write(path(u"good"_s), renamed, entry(u"x"_s, {u"y"_s})));
    QVERIFY2(WLDictionaryCompiler::build(path(u"good"_s), out, &error), qPrintable(error));
    const std::unique_ptr<WLDatabase> database = openBundle(out);
    QVERIFY(database);
    QCOMPARE(database->title(), u"Second Edition"_s);
    QCOMPARE(database->sectionCount(), 1u);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{u"bad"_s, u"bundle"_s, u"good"_s, u"src"_s}));

    // A folder that is no bundle, and the source itself, are never replaced.
    QVERIFY(QDir().mkpath(path(u"home"_s)));
    QVERIFY(writeFile(path(u"home/notes.txt"_s), "keep me"));
    QVERIFY(!WLDictionaryCompiler::build(path(u"good"_s), path(u"home"_s), &error));
    QVERIFY2(error.contains(u"is not a dictionary bundle"_s), qPrintable(error));
    QCOMPARE(readAll(path(u"home/notes.txt"_s)), QByteArray("keep me"));
    QVERIFY(!WLDictionaryCompiler::build(path(u"good"_s), path(u"good"_s), &error));
    QVERIFY(QFileInfo::exists(path(u"good/manifest.json"_s)));
}

// A link out of the source, and anything but a folder, is refused before
// anything is written.
void TestWLDictionaryCompiler::aboutFolderStaysInsideTheSource()
{
    QVERIFY(writeFile(path(u"secret.txt"_s), "private"));
    QVERIFY(write(path(u"src"_s), manifest(), entry(u"x"_s, {u"y"_s})));
    QVERIFY(QDir().mkpath(path(u"src/about"_s)));
    QVERIFY(QFile::link(path(u"secret.txt"_s), path(u"src/about/notes.txt"_s)));
    QString error;
    QVERIFY(!WLDictionaryCompiler::build(path(u"src"_s), path(u"out"_s), &error));
    QCOMPARE(error, u"about/notes.txt: not a file inside the source folder (a link out of it?)"_s);
    QVERIFY(!QFileInfo::exists(path(u"out"_s)));

    QVERIFY(QDir(path(u"src/about"_s)).removeRecursively());
    QVERIFY(writeFile(path(u"src/about"_s), "a file"));
    QVERIFY(!WLDictionaryCompiler::build(path(u"src"_s), path(u"out"_s), &error));
    QCOMPARE(error, u"about: must be a folder of the source"_s);
}

void TestWLDictionaryCompiler::progressNamesEveryPhase()
{
    struct Recorder : WLProgress
    {
        QStringList phases;
        bool counted = true;
        void progress(const QString &phase, qint64 done, qint64 total) override
        {
            if (phases.isEmpty() || phases.last() != phase)
                phases.append(phase);
            counted = counted && done >= 0 && (total == 0 || done <= total);
        }
    } recorder;
    QVERIFY(write(path(u"src"_s), manifest(), sampleEntries()));
    QString error;
    WLBuildSummary summary;
    QVERIFY2(WLDictionaryCompiler::build(path(u"src"_s), path(u"out"_s), &error, &recorder,
                                         &summary),
             qPrintable(error));
    QCOMPARE(recorder.phases.first(), u"reading entries.jsonl"_s);
    QCOMPARE(recorder.phases[1], u"ordering headwords"_s);
    QVERIFY(recorder.phases.contains(u"writing contents.db, headword.db"_s));
    // One file holds the headword, link and search tables.
    QVERIFY(!recorder.phases.contains(u"writing contents.db, equal.db"_s));
    QCOMPARE(recorder.phases.last(), u"moving the bundle into place"_s);
    QVERIFY(recorder.counted);
    QCOMPARE(summary.headwords, 12);
    QCOMPARE(summary.fragments, 16);
    QCOMPARE(summary.storedFragments, 13);
    qint64 bytes = 0;
    for (const QString &file : listing(path(u"out"_s)))
        bytes += QFileInfo(QDir(path(u"out"_s)).filePath(file)).size();
    QCOMPARE(summary.bytes, bytes);
}

void TestWLDictionaryCompiler::identifierFromManifestOrTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("identifier"); // given in the manifest, if any
    QTest::addColumn<QString>("stored");     // a pattern
    QTest::newRow("given") << u"Gardening"_s << u"org.example.garden_2-b"_s
                           << u"^org\\.example\\.garden_2-b$"_s;
    QTest::newRow("from the title") << u"The Oxford English (2nd ed.)"_s << QString()
                                    << u"^the-oxford-english-2nd-ed-[0-9a-f]{8}$"_s;
    QTest::newRow("accents taken off") << u"Wörterbuch für Ärzte"_s << QString()
                                       << u"^worterbuch-fur-arzte-[0-9a-f]{8}$"_s;
    QTest::newRow("nothing left of the title") << u"中文词典"_s << QString()
                                              << u"^dictionary-[0-9a-f]{8}$"_s;
}

void TestWLDictionaryCompiler::identifierFromManifestOrTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, identifier);
    QFETCH(QString, stored);
    const auto identifierOf = [&](const QString &title, const QString &out) {
        QJsonObject source = manifest();
        source.insert(u"title"_s, title);
        if (!identifier.isNull())
            source.insert(u"identifier"_s, identifier);
        QString error;
        if (!build(source, entry(u"x"_s, {u"y"_s}), out, &error))
            return error;
        return WLPropertyList::readFile(QDir(path(out)).filePath(u"DatabaseInfo.plist"_s))
            .toMap()
            .value(u"KXPropDictionaryIdentifier"_s)
            .toString();
    };
    const QString made = identifierOf(title, u"one"_s);
    QVERIFY2(QRegularExpression(stored).match(made).hasMatch(), qPrintable(made));
    QCOMPARE(identifierOf(title, u"two"_s), made);
    // Titles that make the same words still make different identifiers.
    if (identifier.isNull())
        QVERIFY(identifierOf(title + u" "_s, u"three"_s) != made);
}

using Files = QMap<QString, QByteArray>;

void TestWLDictionaryCompiler::aboutPage_data()
{
    QTest::addColumn<Files>("files"); // of the source's about/ folder
    QTest::addColumn<QString>("text"); // the manifest's "about", if any
    QTest::addColumn<QStringList>("page"); // pieces of about/index.html
    QTest::addColumn<QStringList>("others"); // the other files of about/

    const Files folder{{u"index.html"_s, "<p>ours</p>"},
                       {u"de/index.html"_s, "<p>unser</p>"},
                       {u"logo.png"_s, QByteArray("\x89PNG\0\1", 6)}};
    const QString text = u"Line one <b> & more\nline two\n \n\nSee https://example.org/a?b=1&c."_s;
    const QStringList made{u"<meta charset=\"UTF-8\">"_s, u"<h1>Test Dictionary</h1>"_s,
                           u"<p>Line one &lt;b&gt; &amp; more\nline two</p>\n<p>See "_s,
                           u"<a href=\"https://example.org/a?b=1&amp;c\">"
                           "https://example.org/a?b=1&amp;c</a>.</p>"_s};
    QTest::newRow("folder copied") << folder << QString() << QStringList{u"<p>ours</p>"_s}
                                   << QStringList{u"de/index.html"_s, u"logo.png"_s};
    QTest::newRow("text becomes the page") << Files{} << text << made << QStringList{};
    QTest::newRow("the folder's page wins")
        << folder << text << QStringList{u"<p>ours</p>"_s}
        << QStringList{u"de/index.html"_s, u"logo.png"_s};
    QTest::newRow("text beside other pages")
        << Files{{u"credits.html"_s, "<p>thanks</p>"}} << text << made
        << QStringList{u"credits.html"_s};
    QTest::newRow("neither") << Files{} << QString() << QStringList{} << QStringList{};
}

void TestWLDictionaryCompiler::aboutPage()
{
    QFETCH(Files, files);
    QFETCH(QString, text);
    QFETCH(QStringList, page);
    QFETCH(QStringList, others);

    QJsonObject source = manifest();
    if (!text.isNull())
        source.insert(u"about"_s, text);
    QVERIFY(write(path(u"src"_s), source, entry(u"x"_s, {u"y"_s})));
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString file = path(u"src/about/"_s + it.key());
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && writeFile(file, it.value()));
    }
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(path(u"src"_s), path(u"out"_s), &error),
             qPrintable(error));
    const QString about = path(u"out/about"_s);
    const QString index = QString::fromUtf8(readAll(QDir(about).filePath(u"index.html"_s)));
    for (const QString &piece : page)
        QVERIFY2(index.contains(piece), qPrintable(index));
    QStringList expected = others;
    if (!page.isEmpty())
        expected.append(u"index.html"_s);
    expected.sort();
    QStringList copied = listing(about);
    copied.removeAll(u"de"_s);
    QCOMPARE(copied, expected);
    for (const QString &name : others)
        QCOMPARE(readAll(QDir(about).filePath(name)), files.value(name));
}

QTEST_GUILESS_MAIN(TestWLDictionaryCompiler)
#include "tst_wldictionarycompiler.moc"
