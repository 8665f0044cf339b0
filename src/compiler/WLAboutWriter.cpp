#include "WLAboutWriter.h"

#include "WLManifestReader.h"
#include "WLSourceManifest.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

const QString kFolder = u"about"_s;
const QString kPage = u"about/index.html"_s;

bool isInside(const QString &path, const QString &directory)
{
    return path == directory || path.startsWith(directory + u'/');
}

// Escaped, with http and https addresses as links; a full stop or bracket
// that ends a sentence is not taken into the address.
QString linkedText(const QString &text)
{
    static const QRegularExpression address(u"https?://[^\\s<>\"]+"_s);
    QString html;
    qsizetype done = 0;
    for (QRegularExpressionMatchIterator it = address.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString url = match.captured();
        while (!url.isEmpty() && QStringView(u".,;:!?)]'").contains(url.back()))
            url.chop(1);
        html += text.mid(done, match.capturedStart() - done).toHtmlEscaped();
        html += u"<a href=\""_s + url.toHtmlEscaped() + u"\">"_s + url.toHtmlEscaped() + u"</a>"_s;
        done = match.capturedStart() + url.size();
    }
    return html + text.mid(done).toHtmlEscaped();
}

} // namespace

QByteArray WLAboutWriter::page(const QString &title, const QString &text)
{
    QString html = u"<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\">"
                   "<meta name=\"viewport\" content=\"width=device-width\"><title>"_s +
                   title.toHtmlEscaped() +
                   u"</title><style>body{font-family:sans-serif;margin:12px;line-height:1.4}"
                   "p{white-space:pre-wrap}</style></head>\n<body>\n<h1>"_s +
                   title.toHtmlEscaped() + u"</h1>\n"_s;
    static const QRegularExpression blankLines(u"\\n[ \\t]*\\n\\s*"_s);
    const QStringList paragraphs =
        QString(text).replace(u"\r\n"_s, u"\n"_s).split(blankLines, Qt::SkipEmptyParts);
    for (const QString &paragraph : paragraphs) {
        // A paragraph of white space alone stays out.
        if (!paragraph.trimmed().isEmpty())
            html += u"<p>"_s + linkedText(paragraph.trimmed()) + u"</p>\n"_s;
    }
    html += u"</body></html>\n"_s;
    return html.toUtf8();
}

bool WLAboutWriter::read(const QString &sourceDir, const WLSourceManifest &manifest,
                         QString *errorMessage)
{
    mSourceDir = sourceDir;
    mFiles.clear();
    mPage.clear();
    const QFileInfo folder(QDir(sourceDir).filePath(kFolder));
    if (folder.exists() || folder.isSymLink()) {
        if (!folder.isDir() || folder.isSymLink()) {
            *errorMessage = u"%1: must be a folder of the source"_s.arg(kFolder);
            return false;
        }
        const QString source = QFileInfo(sourceDir).canonicalFilePath();
        QDirIterator it(folder.filePath(), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo file = it.nextFileInfo();
            const QString name = QDir(sourceDir).relativeFilePath(file.filePath());
            if (!WLManifestReader::isSafeRelativePath(name) ||
                !isInside(file.canonicalFilePath(), source) || !file.isFile()) {
                *errorMessage =
                    u"%1: not a file inside the source folder (a link out of it?)"_s.arg(name);
                return false;
            }
            mFiles.append(name);
        }
        // The same order everywhere.
        mFiles.sort();
    }
    if (!manifest.about.isEmpty() && !mFiles.contains(kPage))
        mPage = page(manifest.title, manifest.about);
    return true;
}

bool WLAboutWriter::write(const QString &bundleDir, QString *errorMessage) const
{
    const QDir bundle(bundleDir);
    for (const QString &name : mFiles) {
        const QString target = bundle.filePath(name);
        // The icon or an image may be in there already.
        if (QFileInfo::exists(target))
            continue;
        if (!QDir().mkpath(QFileInfo(target).path()) ||
            !QFile::copy(QDir(mSourceDir).filePath(name), target)) {
            *errorMessage = u"cannot copy \"%1\" into the bundle"_s.arg(name);
            return false;
        }
    }
    if (mPage.isEmpty())
        return true;
    QSaveFile file(bundle.filePath(kPage));
    if (!QDir().mkpath(bundle.filePath(kFolder)) || !file.open(QIODevice::WriteOnly) ||
        file.write(mPage) != mPage.size() || !file.commit()) {
        *errorMessage = u"%1: cannot write: %2"_s.arg(kPage, file.errorString());
        return false;
    }
    return true;
}
