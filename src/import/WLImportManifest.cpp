#include "WLImportManifest.h"

#include <QDir>
#include <QJsonDocument>
#include <QSaveFile>

using namespace Qt::StringLiterals;

QString WLImportManifest::identifier(const QString &prefix, const QString &name)
{
    QString plain = name;
    for (QChar &c : plain) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'.' && c != u'-' && c != u'_')
            c = u'-';
    }
    return (prefix + u'.' + plain).left(100);
}

QJsonObject WLImportManifest::make(const QString &title, const QString &identifier,
                                   const QString &language, const QString &style)
{
    return QJsonObject{
        {u"title"_s, title},
        {u"identifier"_s, identifier},
        {u"charset"_s, u"UTF-8"_s},
        {u"language"_s, language.isEmpty() ? u"root"_s : language},
        {u"header"_s, u"<html><head><meta charset=\"UTF-8\">"_s + style + u"</head><body>"_s},
        {u"largeHeader"_s,
         u"<html><head><meta charset=\"UTF-8\">"_s + style +
             u"<style>body{font-size:150%}</style></head><body class=\"large\">"_s},
        {u"footer"_s, u"</body></html>"_s},
        {u"separator"_s, u"<hr>"_s},
        {u"entries"_s, u"entries.jsonl"_s},
    };
}

bool WLImportManifest::write(const QString &sourceDir, const QJsonObject &manifest,
                             QString *error)
{
    QSaveFile file(QDir(sourceDir).filePath(u"manifest.json"_s));
    if (!file.open(QIODevice::WriteOnly)) {
        *error = u"%1: %2"_s.arg(file.fileName(), file.errorString());
        return false;
    }
    file.write(QJsonDocument(manifest).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        *error = u"%1: %2"_s.arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}
