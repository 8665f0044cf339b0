#include "WLManifestReader.h"

#include "WLSourceMessage.h"
#include "WLTextEncoder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

const QString kManifest = QString::fromLatin1(WLManifestReader::kFileName);

// One screen group of "appearance": the manifest's names and the
// description keys they become.
struct AppearanceKey
{
    const char *name;
    const char *key;
    bool isFile;
};

const QList<AppearanceKey> &generalAppearance()
{
    static const QList<AppearanceKey> keys = {
        {"backgroundImage", "KXPropUIBackgroundImageFileName", true},
        {"backgroundColor", "KXPropUIBackgroundColor", false},
        {"textColor", "KXPropUITextColor", false},
    };
    return keys;
}

struct AppearanceGroup
{
    const char *name;
    QList<AppearanceKey> keys;
};

const QList<AppearanceGroup> &screenAppearance()
{
    static const QList<AppearanceGroup> groups = {
        {"index",
         {{"backgroundImage", "KXPropUIIndexBackgroundImageFileName", true},
          {"backgroundColor", "KXPropUIIndexBackgroundColor", false},
          {"textColor", "KXPropUIIndexTextColor", false}}},
        {"search",
         {{"backgroundImage", "KXPropUISearchBackgroundImageFileName", true},
          {"backgroundColor", "KXPropUISearchBackgroundColor", false},
          {"textColor", "KXPropUISearchTextColor", false}}},
        {"bookmarks",
         {{"backgroundImage", "KXPropUIBookmarksBackgroundImageFileName", true},
          {"backgroundColor", "KXPropUIBookmarksBackgroundColor", false},
          {"textColor", "KXPropUIBookmarksTextColor", false},
          {"notesTextColor", "KXPropUIBookmarksNotesTextColor", false}}},
        {"history",
         {{"backgroundImage", "KXPropUIHistoryBackgroundImageFileName", true},
          {"backgroundColor", "KXPropUIHistoryBackgroundColor", false},
          {"textColor", "KXPropUIHistoryTextColor", false}}},
    };
    return groups;
}

int lineOfOffset(const QByteArray &text, qsizetype offset)
{
    return int(text.left(offset).count('\n')) + 1;
}

class Parser
{
public:
    Parser(QString sourceDir, QByteArray text)
        : mDir(std::move(sourceDir)), mText(std::move(text))
    {
    }

    bool parse(WLSourceManifest *manifest, QString *errorMessage);

private:
    // JSON objects keep no positions; the first place the key is written
    // is near enough for a message.
    int lineOfKey(const QString &path) const
    {
        const QString key = path.section(QLatin1Char('.'), -1);
        const qsizetype at = mText.indexOf(QByteArray('"' + key.toUtf8() + '"'));
        return at < 0 ? 0 : lineOfOffset(mText, at);
    }
    bool fail(const QString &key, const QString &text)
    {
        mError = wlSourceMessage(kManifest, key.isEmpty() ? 0 : lineOfKey(key), text);
        return false;
    }

    bool readString(const QJsonObject &object, const QString &key, bool required, QString *out);
    bool readPageText(const QJsonObject &object, const QString &key, bool required, QString *out);
    bool readFileName(const QString &key, const QJsonValue &value, QString *out);
    bool readColor(const QString &key, const QJsonValue &value, QString *out);
    bool readAppearanceGroup(const QJsonObject &object, const QString &path,
                             const QList<AppearanceKey> &keys, const QStringList &groupNames,
                             WLSourceManifest *manifest);

    QString mDir;
    QByteArray mText;
    QString mError;
    std::optional<WLTextEncoder> mEncoder;
};

bool Parser::readString(const QJsonObject &object, const QString &key, bool required, QString *out)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined()) {
        if (required)
            return fail({}, QStringLiteral("missing \"%1\"").arg(key));
        return true;
    }
    if (!value.isString())
        return fail(key, QStringLiteral("\"%1\" must be a string").arg(key));
    *out = value.toString();
    return true;
}

bool Parser::readPageText(const QJsonObject &object, const QString &key, bool required,
                          QString *out)
{
    if (!readString(object, key, required, out))
        return false;
    QString problem;
    if (!out->isEmpty() && !mEncoder->encode(*out, &problem))
        return fail(key, QStringLiteral("\"%1\": %2").arg(key, problem));
    return true;
}

bool Parser::readFileName(const QString &key, const QJsonValue &value, QString *out)
{
    if (!value.isString() || value.toString().isEmpty())
        return fail(key, QStringLiteral("\"%1\" must be a file name").arg(key));
    const QString name = value.toString();
    if (!WLManifestReader::isSafeRelativePath(name))
        return fail(key, QStringLiteral("\"%1\": \"%2\" must be a relative path inside the source "
                                        "folder")
                             .arg(key, name));
    if (!QFileInfo(QDir(mDir).filePath(name)).isFile())
        return fail(key, QStringLiteral("\"%1\": no file \"%2\"").arg(key, name));
    *out = name;
    return true;
}

bool Parser::readColor(const QString &key, const QJsonValue &value, QString *out)
{
    const QString text = value.toString();
    const QStringList parts = text.split(QLatin1Char(','));
    bool good = value.isString() && parts.size() == 3;
    for (qsizetype i = 0; good && i < parts.size(); ++i) {
        bool ok = false;
        const double component = parts[i].trimmed().toDouble(&ok);
        good = ok && component >= 0.0 && component <= 1.0;
    }
    if (!good)
        return fail(key, QStringLiteral("\"%1\" must be a colour \"red, green, blue\" with each "
                                        "from 0.0 to 1.0")
                             .arg(key));
    *out = text;
    return true;
}

bool Parser::readAppearanceGroup(const QJsonObject &object, const QString &path,
                                 const QList<AppearanceKey> &keys, const QStringList &groupNames,
                                 WLSourceManifest *manifest)
{
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (groupNames.contains(it.key()))
            continue;
        bool known = false;
        for (const AppearanceKey &key : keys) {
            if (it.key() != QLatin1String(key.name))
                continue;
            known = true;
            WLManifestValue item{QString::fromLatin1(key.key), {}, key.isFile};
            const QString where = path + it.key();
            if (key.isFile ? !readFileName(where, it.value(), &item.value)
                           : !readColor(where, it.value(), &item.value))
                return false;
            manifest->appearance.append(item);
        }
        if (!known)
            return fail(it.key(), QStringLiteral("unknown key \"%1\"").arg(path + it.key()));
    }
    return true;
}

bool Parser::parse(WLSourceManifest *manifest, QString *errorMessage)
{
    const bool ok = [&] {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(mText, &parseError);
        if (parseError.error != QJsonParseError::NoError) {
            mError =
                wlSourceMessage(kManifest, lineOfOffset(mText, parseError.offset),
                                QStringLiteral("malformed JSON: %1").arg(parseError.errorString()));
            return false;
        }
        if (!document.isObject())
            return fail({}, QStringLiteral("must hold one JSON object"));
        const QJsonObject root = document.object();

        static const QStringList known = {
            u"title"_s,   u"identifier"_s, u"charset"_s, u"language"_s, u"header"_s,
            u"largeHeader"_s, u"footer"_s, u"separator"_s, u"icon"_s, u"settingsHidden"_s,
            u"appearance"_s, u"entries"_s, u"preload"_s, u"media"_s,
            u"about"_s,
        };
        for (auto it = root.constBegin(); it != root.constEnd(); ++it) {
            if (!known.contains(it.key()))
                return fail(it.key(), QStringLiteral("unknown key \"%1\"").arg(it.key()));
        }

        if (!readString(root, u"title"_s, true, &manifest->title))
            return false;
        if (manifest->title.trimmed().isEmpty())
            return fail(u"title"_s, QStringLiteral("\"title\" must not be empty"));
        if (!readString(root, u"identifier"_s, false, &manifest->identifier))
            return false;
        if (!root.contains(u"identifier"_s))
            manifest->identifier = WLManifestReader::identifierFromTitle(manifest->title);
        else if (!WLManifestReader::isIdentifier(manifest->identifier))
            return fail(u"identifier"_s,
                        QStringLiteral("\"identifier\" must be 1 to 100 letters, digits, \".\", "
                                       "\"-\" and \"_\""));
        if (!readString(root, u"charset"_s, true, &manifest->charset))
            return false;
        QString problem;
        mEncoder = WLTextEncoder::forCharset(manifest->charset, &problem);
        if (!mEncoder)
            return fail(u"charset"_s, problem);
        if (!readString(root, u"language"_s, false, &manifest->language))
            return false;
        static const QRegularExpression localeName(
            QStringLiteral("^(root|[A-Za-z]{2,8}([_-][A-Za-z0-9]{1,8})*)$"));
        if (!localeName.match(manifest->language).hasMatch())
            return fail(u"language"_s, QStringLiteral("\"language\": \"%1\" is not a locale name")
                                           .arg(manifest->language));

        if (!readPageText(root, u"header"_s, true, &manifest->header) ||
            !readPageText(root, u"largeHeader"_s, false, &manifest->largeHeader) ||
            !readPageText(root, u"footer"_s, true, &manifest->footer) ||
            !readPageText(root, u"separator"_s, false, &manifest->separator))
            return false;

        if (root.contains(u"icon"_s) &&
            !readFileName(u"icon"_s, root.value(u"icon"_s), &manifest->icon))
            return false;
        if (root.contains(u"settingsHidden"_s)) {
            if (!root.value(u"settingsHidden"_s).isBool())
                return fail(u"settingsHidden"_s,
                            QStringLiteral("\"settingsHidden\" must be true or false"));
            manifest->settingsHidden = root.value(u"settingsHidden"_s).toBool();
        }

        if (root.contains(u"appearance"_s)) {
            const QJsonValue appearance = root.value(u"appearance"_s);
            if (!appearance.isObject())
                return fail(u"appearance"_s, QStringLiteral("\"appearance\" must be an object"));
            QStringList groupNames;
            for (const AppearanceGroup &group : screenAppearance())
                groupNames.append(QString::fromLatin1(group.name));
            const QJsonObject object = appearance.toObject();
            if (!readAppearanceGroup(object, u"appearance."_s, generalAppearance(), groupNames,
                                     manifest))
                return false;
            for (const AppearanceGroup &group : screenAppearance()) {
                const QString name = QString::fromLatin1(group.name);
                if (!object.contains(name))
                    continue;
                if (!object.value(name).isObject())
                    return fail(name,
                                QStringLiteral("\"appearance.%1\" must be an object").arg(name));
                if (!readAppearanceGroup(object.value(name).toObject(),
                                         QStringLiteral("appearance.%1.").arg(name), group.keys, {},
                                         manifest))
                    return false;
            }
        }

        if (!readString(root, u"about"_s, false, &manifest->about))
            return false;
        if (root.contains(u"entries"_s) &&
            !readFileName(u"entries"_s, root.value(u"entries"_s), &manifest->entriesFile))
            return false;
        return true;
    }();
    if (!ok && errorMessage)
        *errorMessage = mError;
    return ok;
}

} // namespace

bool WLManifestReader::isSafeRelativePath(const QString &name)
{
    if (name.isEmpty() || QDir::isAbsolutePath(name) || name.contains(QLatin1Char('\\')))
        return false;
    const QStringList steps = name.split(QLatin1Char('/'));
    for (const QString &step : steps) {
        if (step.isEmpty() || step == u"."_s || step == u".."_s)
            return false;
    }
    return true;
}

bool WLManifestReader::read(const QString &sourceDir, WLSourceManifest *manifest,
                            QString *errorMessage)
{
    QFile file(QDir(sourceDir).filePath(kManifest));
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage)
            *errorMessage = wlSourceMessage(
                kManifest, 0, QStringLiteral("cannot read: %1").arg(file.errorString()));
        return false;
    }
    QByteArray text = file.readAll();
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    Parser parser(sourceDir, std::move(text));
    return parser.parse(manifest, errorMessage);
}

QString WLManifestReader::identifierFromTitle(const QString &title)
{
    constexpr qsizetype kLongest = 60;
    QString slug;
    for (const QChar c : title.normalized(QString::NormalizationForm_D).toLower()) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
            slug += c;
        else if (c.category() != QChar::Mark_NonSpacing && !slug.endsWith(u'-'))
            slug += u'-';
    }
    slug = slug.left(kLongest);
    while (slug.startsWith(u'-'))
        slug.remove(0, 1);
    while (slug.endsWith(u'-'))
        slug.chop(1);
    if (slug.isEmpty())
        slug = u"dictionary"_s;
    const QByteArray hash =
        QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha1).left(4).toHex();
    return slug + u'-' + QString::fromLatin1(hash);
}

bool WLManifestReader::isIdentifier(const QString &identifier)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9._-]{1,100}$"));
    return allowed.match(identifier).hasMatch();
}
