#include "WLStarDictResources.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Only formats the page shows, and for sounds those the player decodes
// (libsndfile reads WAV, Ogg Vorbis and, from 1.1 on, MP3). SVG is left
// out: opened as a page of its own it could run scripts.
const QStringList kPictures = {u"png"_s, u"jpg"_s, u"jpeg"_s, u"gif"_s, u"bmp"_s, u"webp"_s};
const QStringList kViewable = {u"png"_s, u"jpg"_s, u"gif"_s};
const QStringList kSounds = {u"wav"_s, u"ogg"_s, u"mp3"_s};

QString suffixOf(const QString &name)
{
    const qsizetype slash = name.lastIndexOf(u'/');
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > slash + 1 ? name.mid(dot + 1).toLower() : QString();
}

bool isPlainCharacter(QChar c)
{
    return c.isLetterOrNumber() || QStringView(u"-_.+~()").contains(c);
}

// A plain file name for a path inside res/: folders joined with '_',
// other characters a page's URL would need to escape made '_', the
// extension in lower case ("jpeg" as "jpg").
QString plainName(const QString &path)
{
    QString suffix = suffixOf(path);
    QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    for (QChar &c : stem) {
        if (!isPlainCharacter(c))
            c = u'_';
    }
    if (stem.isEmpty() || stem.startsWith(u'.'))
        stem.prepend(u'_');
    if (suffix == u"jpeg"_s)
        suffix = u"jpg"_s;
    return suffix.isEmpty() ? stem : stem + u'.' + suffix;
}

} // namespace

std::optional<WLStarDictResources::Kind> WLStarDictResources::kindOf(const QString &name)
{
    const QString suffix = suffixOf(name);
    if (kPictures.contains(suffix))
        return Kind::Picture;
    if (kSounds.contains(suffix))
        return Kind::Sound;
    return std::nullopt;
}

std::optional<QString> WLStarDictResources::normalise(const QString &name, QString *problem)
{
    QString path = name.trimmed();
    path.replace(u'\\', u'/');
    if (path.startsWith(u'/')) {
        *problem = u"\"%1\" is an absolute path, not a file in res/"_s.arg(name);
        return std::nullopt;
    }
    QStringList steps;
    for (const QString &step : path.split(u'/', Qt::SkipEmptyParts)) {
        if (step == u"."_s)
            continue;
        if (step == u".."_s) {
            *problem = u"\"%1\" leads out of res/ with \"..\""_s.arg(name);
            return std::nullopt;
        }
        // "C:" or "file:": a drive or a URL, neither inside res/.
        if (steps.isEmpty() && step.endsWith(u':')) {
            *problem = u"\"%1\" is an absolute path, not a file in res/"_s.arg(name);
            return std::nullopt;
        }
        steps.append(step);
    }
    if (steps.isEmpty()) {
        *problem = u"an empty resource name"_s;
        return std::nullopt;
    }
    return steps.join(u'/');
}

bool WLStarDictResources::scan(const QString &folder, QString *error)
{
    mMedia.clear();
    mReferenced.clear();
    // Whole paths: QDir::relativeFilePath() hands a relative path back as
    // it is, which would put the folder's own name into every file's.
    const QString resDir = QFileInfo(folder).absoluteFilePath();
    const QFileInfo root(resDir);
    if (root.isSymLink()) {
        *error = u"%1: a symbolic link; resources are read only from a real folder"_s.arg(resDir);
        return false;
    }
    if (!root.exists())
        return true;
    if (!root.isDir() || !root.isReadable()) {
        *error = u"%1: not a readable folder"_s.arg(resDir);
        return false;
    }
    QStringList paths;
    const QDir dir(resDir);
    QDirIterator it(resDir, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = dir.relativeFilePath(it.next());
        if (kindOf(relative))
            paths.append(relative);
    }
    // Names are handed out in path order, so the same folder always gives
    // the same names.
    std::sort(paths.begin(), paths.end());
    QSet<QString> taken;
    for (const QString &relative : std::as_const(paths)) {
        Media media;
        media.kind = *kindOf(relative);
        media.table = media.kind == Kind::Picture ? u"pictures"_s : u"sounds"_s;
        media.path = dir.filePath(relative);
        const QString base = plainName(relative);
        media.name = base;
        const QString suffix = suffixOf(base);
        for (int n = 2; taken.contains(media.table + u'/' + media.name.toCaseFolded()); ++n) {
            media.name = suffix.isEmpty()
                             ? base + u'-' + QString::number(n)
                             : base.left(base.size() - suffix.size() - 1) + u'-' +
                                   QString::number(n) + u'.' + suffix;
        }
        taken.insert(media.table + u'/' + media.name.toCaseFolded());
        media.viewable = media.kind == Kind::Sound || kViewable.contains(suffixOf(media.name));
        mReferenced.insert(media.reference(), relative);
        mMedia.insert(relative, media);
    }
    return true;
}

const WLStarDictResources::Media *WLStarDictResources::find(const QString &name) const
{
    const auto it = mMedia.constFind(name);
    return it == mMedia.cend() ? nullptr : &*it;
}

const WLStarDictResources::Media *WLStarDictResources::byReference(const QString &reference) const
{
    const auto it = mReferenced.constFind(reference);
    return it == mReferenced.cend() ? nullptr : find(*it);
}
