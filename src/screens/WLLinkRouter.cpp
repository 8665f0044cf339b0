#include "WLLinkRouter.h"

#include "WLReport.h"

#include <QDir>

#include <algorithm>
#include <limits>

namespace {

constexpr char kRouteFn[] = "-[WLWebViewController receiveLinkRequest:]";
constexpr char kImageFn[] = "-[WLWebViewController isRequestForImage:]";

// The link's full text split like a path: its last component and the text
// before it. A trailing separator does not count, as in a path.
struct SplitLink {
    QString fileName;
    QString parentText;
};

SplitLink splitLink(const QUrl &url)
{
    QString text = url.toString();
    while (text.size() > 1 && text.endsWith(u'/'))
        text.chop(1);
    const qsizetype slash = text.lastIndexOf(u'/');
    if (slash < 0)
        return {text, {}};
    return {text.mid(slash + 1), text.left(slash)};
}

// The text after the last ".", empty when there is none.
QString extension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

bool isImageExtension(const QString &extension)
{
    for (const char *known : {"jpg", "png", "gif"}) {
        if (extension.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// "aiff" is the same format under its long name, as the demo's sounds have
// it. WAV, Ogg Vorbis and MP3 are what StarDict dictionaries bring; the
// player decodes them all with libsndfile (MP3 from 1.1 on; Debian 12 has
// 1.2).
bool isSoundExtension(const QString &extension)
{
    for (const char *known : {"aif", "aiff", "wav", "ogg", "mp3"}) {
        if (extension.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// A local path in standard form: "." and ".." resolved, no trailing
// separator.
QString standardPath(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(path);
}

} // namespace

int WLLinkRouter::intValue(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        // Saturates, as the phone's reading does.
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            break;
    }
    value = negative ? -value : value;
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

WLLinkRouter::Route WLLinkRouter::route(const QUrl &url) const
{
    if (mPageDirectory.isEmpty() || !mPageDirectory.isLocalFile()) {
        WL_REPORT(kRouteFn, "baseURL == nil");
        return {};
    }
    const QString baseString = standardPath(mPageDirectory.toLocalFile());
    if (baseString.isEmpty()) {
        WL_REPORT(kRouteFn, "baseString == nil");
        return {};
    }
    if (url.isEmpty() || !url.isValid()) {
        WL_REPORT(kRouteFn, "requestURL == nil");
        return {};
    }
    const SplitLink link = splitLink(url);
    if (link.fileName.isEmpty()) {
        WL_REPORT(kRouteFn, "fileName == nil");
        return {};
    }
    if (link.parentText.isEmpty()) {
        WL_REPORT(kRouteFn, "parentURLString == nil");
        return {};
    }
    const QUrl parentURL(link.parentText);
    if (!parentURL.isValid()) {
        WL_REPORT(kRouteFn, "parentURL == nil");
        return {};
    }
    // Empty for a site's root, which then lies outside.
    const QString parentString = standardPath(parentURL.path());

    // Inside means on this machine, and below the page directory by whole
    // path components.
    const bool local = parentURL.scheme() == mPageDirectory.scheme() &&
                       parentURL.host() == mPageDirectory.host();
    const QString basePrefix = baseString.endsWith(u'/') ? baseString : baseString + u'/';
    const bool same = local && parentString == baseString;
    const bool below = local && parentString.startsWith(basePrefix);
    if (!same && !below) {
        const qsizetype location = parentString.indexOf(baseString);
        WL_REPORT(kRouteFn, location <= 0 || !local ? "range.location == NSNotFound"
                                                    : "range.location != 0");
        return {};
    }

    if (below) {
        const QString fileExtension = extension(link.fileName);
        Route media;
        media.path = standardPath(url.toLocalFile());
        if (isSoundExtension(fileExtension))
            media.action = Route::PlaySound;
        else if (isImageExtension(fileExtension))
            media.action = Route::ShowImage;
        else
            media.path.clear();
        return media;
    }

    if (!link.fileName.startsWith(u'#')) {
        WL_REPORT(kRouteFn, "![fileName hasPrefix:@\"#\"]");
        return {};
    }
    const int contentsLinkID = intValue(link.fileName.mid(1));
    if (contentsLinkID <= 0) {
        WL_REPORT(kRouteFn, "contentsLinkID <= 0");
        return {};
    }
    Route entry;
    entry.action = Route::ShowEntry;
    entry.contentsLinkID = contentsLinkID;
    return entry;
}

bool WLLinkRouter::isRequestForImage(const QUrl &url)
{
    const QString fileName = splitLink(url).fileName;
    if (url.isEmpty() || fileName.isEmpty()) {
        WL_REPORT(kImageFn, "fileName == nil");
        return false;
    }
    return isImageExtension(extension(fileName));
}
