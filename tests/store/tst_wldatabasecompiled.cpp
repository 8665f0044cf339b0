#include "WLBundle.h"
#include "WLCharset.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLTestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct SourceEntry
{
    QString headword;
    QStringList fragments;
};

// "[[banana]]" is the compiler's cross-reference to banana's first fragment.
QList<SourceEntry> sourceEntries()
{
    return {
        {u"apple"_s, {u"<p>A fruit.</p>"_s, u"<p>See [[banana]].</p>"_s}},
        {u"Äpfelchen"_s, {u"<p>Kleiner Apfel, süß.</p>"_s}},
        {u"banana"_s, {u"<p>Yellow.</p>"_s}},
        {u"cherry"_s, {u"<p>Red.</p>"_s, u"<p>Small.</p>"_s, u"<p>Stone.</p>"_s}},
        {u"1st"_s, {u"<p>First.</p>"_s}},
    };
}

bool writeSource(const QString &directory, const QString &charset)
{
    const QJsonObject manifest{
        {u"title"_s, u"Compiled Fixture"_s}, {u"charset"_s, charset},
        {u"header"_s, u"<html><body>"_s},    {u"largeHeader"_s, u"<html><body class=large>"_s},
        {u"footer"_s, u"</body></html>"_s},  {u"separator"_s, u"<hr>"_s}};
    QFile manifestFile(directory + u"/manifest.json"_s);
    if (!manifestFile.open(QIODevice::WriteOnly))
        return false;
    manifestFile.write(QJsonDocument(manifest).toJson());
    QFile entries(directory + u"/entries.jsonl"_s);
    if (!entries.open(QIODevice::WriteOnly))
        return false;
    for (const SourceEntry &entry : sourceEntries()) {
        const QJsonObject line{{u"headword"_s, entry.headword},
                               {u"fragments"_s, QJsonArray::fromStringList(entry.fragments)}};
        entries.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
    }
    return true;
}

} // namespace

// The reader opens what the compiler writes, and every headword's page is
// the header, its fragments with separators between them, and the footer.
class TestWLDatabaseCompiled : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyHeadwordGivesItsPage_data();
    void everyHeadwordGivesItsPage();
};

void TestWLDatabaseCompiled::everyHeadwordGivesItsPage_data()
{
    QTest::addColumn<QString>("charset");
    QTest::newRow("UTF-8") << u"UTF-8"_s;
    QTest::newRow("ISO-8859-1") << u"ISO-8859-1"_s;
}

void TestWLDatabaseCompiled::everyHeadwordGivesItsPage()
{
    QFETCH(QString, charset);
    QTemporaryDir source;
    QTemporaryDir output;
    QVERIFY(source.isValid() && output.isValid());
    QVERIFY(writeSource(source.path(), charset));
    const QString bundle = output.filePath(u"bundle"_s);
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(source.path(), bundle, &error), qPrintable(error));

    WLBundle::setResourcePath(bundle);
    StderrCapture capture;
    const std::unique_ptr<WLDatabase> database =
        WLDatabase::initWithPropertyListFile(bundle + u"/DatabaseInfo.plist"_s);
    QVERIFY(database);
    QCOMPARE(database->htmlEncoding(), charset);
    const std::optional<WLCharset> encoding = WLCharset::forName(charset);
    QVERIFY(encoding);

    // The headword list, as the index screen walks it.
    QHash<QString, QStringList> contentsIDsOf;
    QHash<QString, QStringList> linksOf;
    for (uint section = 0; section < database->sectionCount(); ++section) {
        for (uint row = 0; row < database->itemCountOfHeadwordSectionAtIndex(section); ++row) {
            const int id = database->itemIDAtIndexOfHeadwordSectionAtIndex(row, section);
            QString word;
            QStringList links;
            QStringList contentsIDs;
            QVERIFY(database->getName(&word, &links, &contentsIDs, id));
            QCOMPARE(database->itemNameAtIndexOfHeadwordSectionAtIndex(row, section), word);
            contentsIDsOf.insert(word, contentsIDs);
            linksOf.insert(word, links);
        }
    }
    QCOMPARE(contentsIDsOf.size(), sourceEntries().size());

    const QString bananaLink = contentsIDsOf.value(u"banana"_s).value(0);
    for (const SourceEntry &entry : sourceEntries()) {
        QByteArray expected = "<html><body>";
        for (qsizetype i = 0; i < entry.fragments.size(); ++i) {
            if (i > 0)
                expected += "<hr>";
            QString html = entry.fragments[i];
            html.replace(u"[[banana]]"_s, u"<a href=\"#%1\">banana</a>"_s.arg(bananaLink));
            expected += encoding->encode(html).value_or(QByteArray());
        }
        expected += "</body></html>";
        const QStringList ids = contentsIDsOf.value(entry.headword);
        QCOMPARE(ids.size(), entry.fragments.size());
        QCOMPARE(linksOf.value(entry.headword).first(), entry.headword + u"#1"_s);
        QCOMPARE(database->newHtmlDataForIDs(QVariantList(ids.cbegin(), ids.cend()), false),
                 expected);
    }

    // The cross-reference resolves back to banana.
    QString word;
    QString link;
    int contentsID = 0;
    QVERIFY(database->getName(&word, &link, &contentsID, bananaLink.toInt()));
    QCOMPARE(word, u"banana"_s);
    QCOMPARE(link, u"banana#1"_s);
    QCOMPARE(QString::number(contentsID), bananaLink);
    QCOMPARE(capture.reports(), QStringList());
    WLBundle::setResourcePath(QString());
}

QTEST_GUILESS_MAIN(TestWLDatabaseCompiled)
#include "tst_wldatabasecompiled.moc"
