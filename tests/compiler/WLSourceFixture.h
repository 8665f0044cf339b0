#pragma once

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

// Writes dictionary sources for tests: a manifest and entry lines.
namespace WLSourceFixture {

inline const QString kHeader = QStringLiteral("<html><body>");
inline const QString kLargeHeader = QStringLiteral("<html><body class=\"large\">");
inline const QString kFooter = QStringLiteral("</body></html>");
inline const QString kSeparator = QStringLiteral("<hr>");

inline QJsonObject manifest(const QString &charset = QStringLiteral("UTF-8"))
{
    return QJsonObject{
        {QStringLiteral("title"), QStringLiteral("Test Dictionary")},
        {QStringLiteral("charset"), charset},
        {QStringLiteral("header"), kHeader},
        {QStringLiteral("largeHeader"), kLargeHeader},
        {QStringLiteral("footer"), kFooter},
        {QStringLiteral("separator"), kSeparator},
    };
}

// One line of entries.jsonl.
inline QByteArray entry(const QString &headword, const QStringList &fragments,
                        const QStringList &looks = {})
{
    QJsonObject object{{QStringLiteral("headword"), headword},
                       {QStringLiteral("fragments"), QJsonArray::fromStringList(fragments)}};
    if (!looks.isEmpty())
        object.insert(QStringLiteral("look"), QJsonArray::fromStringList(looks));
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool write(const QString &dir, const QJsonObject &manifest, const QByteArray &entries)
{
    return QDir().mkpath(dir) &&
           writeFile(QDir(dir).filePath(QStringLiteral("manifest.json")),
                     QJsonDocument(manifest).toJson()) &&
           writeFile(QDir(dir).filePath(QStringLiteral("entries.jsonl")), entries);
}

} // namespace WLSourceFixture
