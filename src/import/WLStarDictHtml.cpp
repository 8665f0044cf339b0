#include "WLStarDictHtml.h"

#include "WLStarDictItems.h"
#include "WLStarDictResources.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {

enum class Mode { Pango, Xdxf, Html };

// Deeper markup is hostile: it is left out rather than walked.
constexpr int kDeepest = 100;

const QSet<QByteArray> kDropped = {
    "script", "style",  "iframe", "frame",    "frameset", "object", "embed",   "applet",
    "noscript", "template", "title", "head",  "meta",     "link",   "base",    "svg",
    "math",   "video",  "audio",  "source",   "track",    "canvas", "param",   "input",
    "button", "select", "textarea", "option", "optgroup", "datalist", "noembed", "noframes",
    "portal", "dialog", "map",    "area",     "xml"};

const QSet<QByteArray> kInline = {"b",    "i",    "u",      "s",   "sub",  "sup",   "small",
                                  "big",  "tt",   "em",     "strong", "strike", "del", "ins",
                                  "mark", "code", "kbd",    "samp", "var",  "cite",  "dfn",
                                  "abbr", "q",    "span",   "bdi", "bdo",  "nobr"};

const QSet<QByteArray> kHtmlBlocks = {
    "p",      "div",     "blockquote", "pre",    "ul",     "ol",      "li",     "dl",
    "dt",     "dd",      "table",      "thead",  "tbody",  "tfoot",   "tr",     "td",
    "th",     "caption", "colgroup",   "h1",     "h2",     "h3",      "h4",     "h5",
    "h6",     "center",  "font",       "ruby",   "rt",     "rp",      "figure", "figcaption",
    "section", "article", "header",    "footer", "nav",    "aside",   "main",   "details",
    "summary", "address", "label",     "fieldset", "legend", "time"};

const QSet<QByteArray> kVoid = {"br", "hr", "wbr", "col", "img"};

const QSet<QByteArray> kHtmlAttributes = {
    "class", "title", "lang",  "dir",    "colspan", "rowspan",     "align",       "valign",
    "width", "height", "color", "face",  "size",    "style",       "start",       "type",
    "border", "span", "nowrap", "alt",   "cellpadding", "cellspacing"};

// Text between tags, or with quotes too, an attribute's value; '[' always,
// so that no "[[" reaches the compiler but a link's.
void appendEscaped(QString &out, QStringView text, bool attribute)
{
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t *entity = c == u'&'                ? u"&amp;"
                                 : c == u'<'              ? u"&lt;"
                                 : c == u'>'              ? u"&gt;"
                                 : c == u'['              ? u"&#91;"
                                 : attribute && c == u'"' ? u"&quot;"
                                 : attribute && c == u'\'' ? u"&#39;"
                                                          : nullptr;
        if (!entity)
            continue;
        out += text.mid(plain, i - plain);
        out += QStringView(entity);
        plain = i + 1;
    }
    out += text.mid(plain);
}

void appendText(QString &out, QStringView text)
{
    appendEscaped(out, text, false);
}

void appendAttribute(QString &out, const char *name, QStringView value)
{
    out += u' ';
    out += QLatin1StringView(name);
    out += u"=\""_s;
    appendEscaped(out, value, true);
    out += u'"';
}

QString fromXml(const xmlChar *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

QByteArray lowerName(const xmlNode *node)
{
    return QByteArray(reinterpret_cast<const char *>(node->name)).toLower();
}

QString property(const xmlNode *node, const char *name)
{
    for (const xmlAttr *a = node->properties; a; a = a->next) {
        if (xmlStrcasecmp(a->name, reinterpret_cast<const xmlChar *>(name)) == 0) {
            xmlChar *value = xmlNodeListGetString(node->doc, a->children, 1);
            const QString text = fromXml(value);
            xmlFree(value);
            return text;
        }
    }
    return {};
}

struct DocFree
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;

// A CSS colour: a name, or #rgb(a), #rrggbb(aa); Pango's 9 and 12 digit
// forms are cut to 6.
std::optional<QString> cssColour(const QString &value)
{
    static const QRegularExpression name(u"^[A-Za-z]{1,30}$"_s);
    static const QRegularExpression hex(u"^#([0-9A-Fa-f]{3,12})$"_s);
    if (name.match(value).hasMatch())
        return value;
    const QRegularExpressionMatch match = hex.match(value);
    if (!match.hasMatch())
        return std::nullopt;
    const QString digits = match.captured(1);
    switch (digits.size()) {
    case 3:
    case 4:
    case 6:
    case 8:
        return value;
    case 9:
    case 12: {
        const qsizetype each = digits.size() / 3;
        return u"#"_s + digits.mid(0, 2) + digits.mid(each, 2) + digits.mid(2 * each, 2);
    }
    default:
        return std::nullopt;
    }
}

// Pango's <span> attributes as CSS; anything unknown or malformed is left
// out.
QString pangoStyle(const xmlNode *span, QString *lang)
{
    static const QRegularExpression family(u"^[A-Za-z0-9 ,_-]{1,80}$"_s);
    static const QRegularExpression size(u"^(xx-small|x-small|small|medium|large|x-large|xx-large"
                                         "|smaller|larger|\\d{1,3}(\\.\\d{1,2})?(pt|%))$"_s);
    static const QRegularExpression language(u"^[A-Za-z0-9-]{1,35}$"_s);
    static const QHash<QString, QString> weights = {
        {u"thin"_s, u"100"_s},       {u"ultralight"_s, u"200"_s}, {u"light"_s, u"300"_s},
        {u"book"_s, u"400"_s},       {u"normal"_s, u"400"_s},     {u"medium"_s, u"500"_s},
        {u"semibold"_s, u"600"_s},   {u"bold"_s, u"700"_s},       {u"ultrabold"_s, u"800"_s},
        {u"heavy"_s, u"900"_s},      {u"ultraheavy"_s, u"900"_s}};
    QStringList css;
    QString decoration;
    for (const xmlAttr *a = span->properties; a; a = a->next) {
        const QByteArray key = QByteArray(reinterpret_cast<const char *>(a->name)).toLower();
        const QString value = property(span, reinterpret_cast<const char *>(a->name)).trimmed();
        if (key == "foreground" || key == "fgcolor" || key == "color") {
            if (const auto colour = cssColour(value))
                css.append(u"color:"_s + *colour);
        } else if (key == "background" || key == "bgcolor") {
            if (const auto colour = cssColour(value))
                css.append(u"background-color:"_s + *colour);
        } else if (key == "weight") {
            bool number = false;
            const int w = value.toInt(&number);
            if (number && w >= 100 && w <= 1000)
                css.append(u"font-weight:"_s + QString::number(w));
            else if (weights.contains(value.toLower()))
                css.append(u"font-weight:"_s + weights.value(value.toLower()));
        } else if (key == "style") {
            if (value == u"italic"_s || value == u"oblique"_s || value == u"normal"_s)
                css.append(u"font-style:"_s + value);
        } else if (key == "size" || key == "font_size") {
            bool number = false;
            const int units = value.toInt(&number);
            if (number && units >= 1024 && units <= 1024 * 200)
                css.append(u"font-size:%1pt"_s.arg(units / 1024.0));
            else if (size.match(value).hasMatch())
                css.append(u"font-size:"_s + value);
        } else if (key == "underline") {
            if (value != u"none"_s && !value.isEmpty())
                decoration += u" underline"_s;
        } else if (key == "strikethrough") {
            if (value == u"true"_s)
                decoration += u" line-through"_s;
        } else if (key == "font_family" || key == "face") {
            if (family.match(value).hasMatch())
                css.append(u"font-family:"_s + value);
        } else if (key == "variant") {
            if (value == u"smallcaps"_s || value == u"small-caps"_s)
                css.append(u"font-variant:small-caps"_s);
        } else if (key == "lang") {
            if (language.match(value).hasMatch())
                *lang = value;
        }
    }
    if (!decoration.isEmpty())
        css.append(u"text-decoration:"_s + decoration.trimmed());
    return css.join(u';');
}

// A style attribute of the dictionary's HTML, unless it could load
// something or run code.
bool isHarmlessStyle(const QString &style)
{
    static const QRegularExpression space(u"\\s"_s);
    QString compact = style.toLower();
    compact.remove(space);
    for (const char *bad : {"\\", "url", "image", "import", "expression", "binding", "behavior",
                            "@", "/*", "src", "<", "javascript", "attr("}) {
        if (compact.contains(QLatin1StringView(bad)))
            return false;
    }
    return style.size() <= 1000;
}

// A link's target as a scheme and the rest: ("bword", "word"), ("", "a.png").
std::pair<QString, QString> splitUrl(const QString &url)
{
    static const QRegularExpression scheme(u"^([A-Za-z][A-Za-z0-9+.-]*):"_s);
    const QRegularExpressionMatch match = scheme.match(url);
    if (!match.hasMatch())
        return {QString(), url};
    QString rest = url.mid(match.capturedLength());
    if (rest.startsWith(u"//"_s))
        rest.remove(0, 2);
    return {match.captured(1).toLower(), rest};
}

class Converter
{
public:
    Converter(Mode mode, const WLStarDictHtml::Resolver &resolve,
              const WLStarDictResources &resources, WLStarDictHtml::Result &result)
        : mMode(mode), mResolve(resolve), mResources(resources), mResult(result)
    {
    }

    QString problem() const { return mProblem; }

    void walk(const xmlNode *node, int depth)
    {
        for (; node && mProblem.isEmpty(); node = node->next) {
            if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                appendText(mResult.html, fromXml(node->content));
            } else if (node->type == XML_ENTITY_REF_NODE) {
                // An entity the XML reader did not know: HTML's, if any.
                if (const htmlEntityDesc *entity = htmlEntityLookup(node->name)) {
                    const char32_t c = entity->value;
                    appendText(mResult.html, QString::fromUcs4(&c, 1));
                }
            } else if (node->type == XML_ELEMENT_NODE) {
                if (depth >= kDeepest) {
                    ++mResult.removed;
                    continue;
                }
                element(node, depth + 1);
            }
        }
    }

    // One resource by the name the dictionary gives it.
    void resource(const QString &name, const QString &label)
    {
        QString why;
        const std::optional<QString> path = WLStarDictResources::normalise(name, &why);
        if (!path) {
            mProblem = u"resource %1"_s.arg(why);
            return;
        }
        const WLStarDictResources::Media *media = mResources.find(*path);
        if (!media) {
            ++mResult.missingResources;
            mResult.html += u"<span class=\"sd-file\">"_s;
            appendText(mResult.html, label);
            mResult.html += u"</span>"_s;
            return;
        }
        useMedia(*media);
        if (media->kind == WLStarDictResources::Kind::Picture) {
            picture(*media, nullptr, label);
        } else if (mInAnchor) {
            appendText(mResult.html, label);
        } else {
            mResult.html += u"<a class=\"sd-sound\""_s;
            appendAttribute(mResult.html, "href", media->reference());
            mResult.html += u">\u25b6 "_s;
            appendText(mResult.html, label);
            mResult.html += u"</a>"_s;
        }
    }

private:
    void useMedia(const WLStarDictResources::Media &media)
    {
        const QString reference = media.reference();
        if (!mResult.media.contains(reference))
            mResult.media.append(reference);
    }

    void open(const char *tag, const QString &cssClass = {}, const QString &style = {})
    {
        mResult.html += u'<';
        mResult.html += QLatin1StringView(tag);
        if (!cssClass.isEmpty())
            appendAttribute(mResult.html, "class", cssClass);
        if (!style.isEmpty())
            appendAttribute(mResult.html, "style", style);
        mResult.html += u'>';
    }
    void close(const char *tag)
    {
        mResult.html += u"</"_s;
        mResult.html += QLatin1StringView(tag);
        mResult.html += u'>';
    }
    void wrapped(const xmlNode *node, int depth, const char *tag, const QString &cssClass = {},
                 const QString &style = {})
    {
        open(tag, cssClass, style);
        walk(node->children, depth);
        close(tag);
    }

    static QString textOf(const xmlNode *node)
    {
        xmlChar *content = xmlNodeGetContent(node);
        const QString text = fromXml(content);
        xmlFree(content);
        return text;
    }

    // A cross-reference: a link when its target is a headword, its text
    // otherwise.
    void reference(const xmlNode *node, int depth, const QString &target)
    {
        const QString shown = textOf(node).simplified();
        const std::optional<QString> headword =
            target.isEmpty() || mInAnchor ? std::nullopt : mResolve(target);
        if (headword && !shown.isEmpty() && WLStarDictHtml::linkable(*headword, shown)) {
            mResult.html += u"[["_s + *headword + u'|' + shown + u"]]"_s;
            ++mResult.links;
            return;
        }
        ++mResult.unresolved;
        walk(node->children, depth);
    }

    void element(const xmlNode *node, int depth)
    {
        const QByteArray name = lowerName(node);
        if (kDropped.contains(name)) {
            ++mResult.removed;
            return;
        }
        if (name == "br") {
            mResult.html += u"<br>"_s;
            return;
        }
        switch (mMode) {
        case Mode::Pango:
            return pango(node, name, depth);
        case Mode::Xdxf:
            return xdxf(node, name, depth);
        case Mode::Html:
            return html(node, name, depth);
        }
    }

    void pango(const xmlNode *node, const QByteArray &name, int depth)
    {
        if (name == "span") {
            QString lang;
            const QString style = pangoStyle(node, &lang);
            mResult.html += u"<span"_s;
            if (!style.isEmpty())
                appendAttribute(mResult.html, "style", style);
            if (!lang.isEmpty())
                appendAttribute(mResult.html, "lang", lang);
            mResult.html += u'>';
            walk(node->children, depth);
            close("span");
        } else if (kInline.contains(name)) {
            wrapped(node, depth, name.constData());
        } else {
            walk(node->children, depth);
        }
    }

    void xdxf(const xmlNode *node, const QByteArray &name, int depth)
    {
        if (name == "k") {
            wrapped(node, depth, "b", u"xdxf-k"_s);
        } else if (name == "tr") {
            open("span", u"xdxf-tr"_s);
            mResult.html += u'[';
            walk(node->children, depth);
            mResult.html += u']';
            close("span");
        } else if (name == "abr" || name == "abbr") {
            wrapped(node, depth, "i", u"xdxf-abr"_s);
        } else if (name == "c") {
            const std::optional<QString> colour = cssColour(property(node, "c").trimmed());
            wrapped(node, depth, "span", u"xdxf-c"_s,
                    colour ? u"color:"_s + *colour : QString());
        } else if (name == "ex" || name == "co" || name == "dtrn" || name == "opt") {
            wrapped(node, depth, "span", u"xdxf-"_s + QString::fromLatin1(name));
        } else if (name == "gr" || name == "pos" || name == "tense") {
            wrapped(node, depth, "span", u"xdxf-gr"_s);
        } else if (name == "blockquote" || name == "def") {
            wrapped(node, depth, "div", u"xdxf-"_s + QString::fromLatin1(name));
        } else if (name == "kref") {
            const QString k = property(node, "k").trimmed();
            reference(node, depth, k.isEmpty() ? textOf(node).simplified() : k);
        } else if (name == "rref") {
            QString file = property(node, "lctn").trimmed();
            if (file.isEmpty())
                file = textOf(node).trimmed();
            resource(file, file.section(u'/', -1));
        } else if (name == "iref") {
            if (!property(node, "href").isEmpty())
                ++mResult.removed;
            walk(node->children, depth);
        } else if (kInline.contains(name)) {
            wrapped(node, depth, name.constData());
        } else {
            walk(node->children, depth);
        }
    }

    void html(const xmlNode *node, const QByteArray &name, int depth)
    {
        if (name == "a")
            return anchor(node, depth);
        if (name == "img")
            return image(node);
        if (!kInline.contains(name) && !kHtmlBlocks.contains(name) && !kVoid.contains(name)) {
            walk(node->children, depth);
            return;
        }
        mResult.html += u'<' + QString::fromLatin1(name);
        attributes(node);
        mResult.html += u'>';
        if (kVoid.contains(name))
            return;
        walk(node->children, depth);
        mResult.html += u"</"_s + QString::fromLatin1(name) + u'>';
    }

    void attributes(const xmlNode *node)
    {
        for (const xmlAttr *a = node->properties; a; a = a->next) {
            const QByteArray key = QByteArray(reinterpret_cast<const char *>(a->name)).toLower();
            if (!kHtmlAttributes.contains(key)) {
                if (key.startsWith("on"))
                    ++mResult.removed;
                continue;
            }
            const QString value = property(node, key.constData());
            if (key == "style" && !isHarmlessStyle(value)) {
                ++mResult.removed;
                continue;
            }
            appendAttribute(mResult.html, key.constData(), value);
        }
    }

    // A file of res/ named by a link or a picture: the name, or nothing.
    // Unsafe names set the problem when the name must be a resource (a
    // picture, a link to a picture or a sound).
    std::optional<QString> resourceName(const QString &url, bool mustBeResource)
    {
        auto [scheme, rest] = splitUrl(url.trimmed());
        if (scheme == u"bres"_s || scheme == u"sound"_s)
            mustBeResource = true;
        else if (!scheme.isEmpty())
            return std::nullopt;
        rest = rest.section(u'#', 0, 0).section(u'?', 0, 0);
        if (rest.isEmpty())
            return std::nullopt;
        const QString decoded = QUrl::fromPercentEncoding(rest.toUtf8());
        if (!mustBeResource && !WLStarDictResources::kindOf(decoded))
            return std::nullopt;
        return decoded;
    }

    void anchor(const xmlNode *node, int depth)
    {
        const QString href = property(node, "href").trimmed();
        const auto [scheme, rest] = splitUrl(href);
        if (!mInAnchor && (scheme == u"bword"_s || scheme == u"entry"_s)) {
            const QString target = QUrl::fromPercentEncoding(rest.toUtf8());
            return reference(node, depth, target);
        }
        const std::optional<QString> name = mInAnchor ? std::nullopt : resourceName(href, false);
        if (name) {
            QString why;
            const std::optional<QString> path = WLStarDictResources::normalise(*name, &why);
            if (!path) {
                mProblem = u"resource %1"_s.arg(why);
                return;
            }
            if (const WLStarDictResources::Media *media = mResources.find(*path);
                media && media->viewable) {
                useMedia(*media);
                mResult.html += u"<a"_s;
                appendAttribute(mResult.html, "href", media->reference());
                mResult.html += u'>';
                mInAnchor = true;
                walk(node->children, depth);
                mInAnchor = false;
                mResult.html += u"</a>"_s;
                return;
            }
            ++mResult.missingResources;
        } else if (!href.isEmpty()) {
            // Remote, file:, script and in-page targets: "#N" is our own
            // cross-reference link, so even those must go.
            ++mResult.removed;
        }
        walk(node->children, depth);
    }

    void image(const xmlNode *node)
    {
        const std::optional<QString> name = resourceName(property(node, "src"), true);
        if (!name) {
            ++mResult.removed;
            return;
        }
        QString why;
        const std::optional<QString> path = WLStarDictResources::normalise(*name, &why);
        if (!path) {
            mProblem = u"resource %1"_s.arg(why);
            return;
        }
        const WLStarDictResources::Media *media = mResources.find(*path);
        if (!media || media->kind != WLStarDictResources::Kind::Picture) {
            ++mResult.missingResources;
            return;
        }
        useMedia(*media);
        picture(*media, node, {});
    }

    // A picture, in a link that opens it in the picture viewer when the
    // viewer reads its format; with the attributes of node, else alt.
    void picture(const WLStarDictResources::Media &media, const xmlNode *node, const QString &alt)
    {
        const bool link = media.viewable && !mInAnchor;
        if (link) {
            mResult.html += u"<a"_s;
            appendAttribute(mResult.html, "href", media.reference());
            mResult.html += u'>';
        }
        mResult.html += u"<img"_s;
        appendAttribute(mResult.html, "src", media.reference());
        if (node)
            attributes(node);
        else
            appendAttribute(mResult.html, "alt", alt);
        mResult.html += u'>';
        if (link)
            mResult.html += u"</a>"_s;
    }

    Mode mMode;
    const WLStarDictHtml::Resolver &mResolve;
    const WLStarDictResources &mResources;
    WLStarDictHtml::Result &mResult;
    QString mProblem;
    bool mInAnchor = false;
};

void initialiseLibxml()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

// The children to walk of a parsed fragment: the wrapper's for XML, the
// body's for HTML (the head, where the parser puts <title> and <style>,
// is dropped anyway).
const xmlNode *contentOf(xmlDoc *doc, bool html)
{
    const xmlNode *root = xmlDocGetRootElement(doc);
    if (!root)
        return nullptr;
    if (!html)
        return root->children;
    for (const xmlNode *child = root->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && lowerName(child) == "body")
            return child->children;
    }
    return nullptr;
}

Doc parseHtml(const QByteArray &utf8)
{
    return Doc(htmlReadMemory(utf8.constData(), int(utf8.size()), nullptr, "UTF-8",
                              HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                  HTML_PARSE_NONET | HTML_PARSE_NODEFDTD | HTML_PARSE_IGNORE_ENC));
}

// Pango markup and XDXF are XML; what is not well-formed is read as HTML,
// which keeps its text.
Doc parseMarkup(const QByteArray &utf8, bool *html)
{
    const QByteArray wrapped = "<sd>" + utf8 + "</sd>";
    Doc doc(xmlReadMemory(wrapped.constData(), int(wrapped.size()), nullptr, "UTF-8",
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                              XML_PARSE_NOCDATA));
    *html = !doc;
    return doc ? std::move(doc) : parseHtml(utf8);
}

void chopTrailingSpace(QString &text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
}

} // namespace

bool WLStarDictHtml::linkable(const QString &target, const QString &shown)
{
    const auto closes = [](const QString &text) {
        return text.contains(u"]]"_s) || text.endsWith(u']');
    };
    return !target.contains(u'|') && !target.contains(u"[["_s) && !closes(target) &&
           !closes(shown);
}

bool WLStarDictHtml::append(const WLStarDictItem &item, const Resolver &resolve,
                            const WLStarDictResources &resources, Result &result,
                            QString *problem)
{
    const char type = item.type;
    if (!WLStarDictItems::isText(type)) {
        ++result.skipped;
        return true;
    }
    const qsizetype invalid = WLStarDictItems::firstInvalidUtf8(item.data);
    if (invalid >= 0 && type != 'l') {
        *problem = u"offset %1: the text of type '%2' is not valid UTF-8"_s
                       .arg(item.offset + invalid)
                       .arg(QLatin1Char(type));
        return false;
    }
    // 'l' is the format's "locale" text: Latin-1 is the likeliest.
    std::optional<QString> text =
        invalid < 0 ? QString::fromUtf8(item.data) : QString::fromLatin1(item.data);
    const QString cssClass = u"sd-"_s + QLatin1Char(type);
    if (type == 'h' || type == 'g' || type == 'x') {
        initialiseLibxml();
        const QByteArray utf8 = item.data;
        bool html = type == 'h';
        const Doc doc = html ? parseHtml(utf8) : parseMarkup(utf8, &html);
        const Mode mode = type == 'h' ? Mode::Html : type == 'g' ? Mode::Pango : Mode::Xdxf;
        result.html += type == 'h' ? u"<div"_s : u"<pre"_s;
        appendAttribute(result.html, "class", cssClass);
        result.html += u'>';
        Converter converter(mode, resolve, resources, result);
        if (doc)
            converter.walk(contentOf(doc.get(), html), 0);
        if (!converter.problem().isEmpty()) {
            *problem = u"offset %1: %2"_s.arg(item.offset).arg(converter.problem());
            return false;
        }
        while (result.html.endsWith(u'\n'))
            result.html.chop(1);
        result.html += type == 'h' ? u"</div>"_s : u"</pre>"_s;
        return true;
    }
    if (type == 'r') {
        result.html += u"<div class=\"sd-r\">"_s;
        Converter converter(Mode::Html, resolve, resources, result);
        for (const QString &line : text->split(u'\n', Qt::SkipEmptyParts)) {
            const QString entry = line.trimmed();
            const qsizetype colon = entry.indexOf(u':');
            const QString kind = colon < 0 ? QString() : entry.left(colon);
            const QString name = entry.mid(colon + 1);
            // One line each, as StarDict lists them.
            result.html += u"<div>"_s;
            if (kind == u"img"_s || kind == u"snd"_s) {
                converter.resource(name, name.section(u'/', -1));
                if (!converter.problem().isEmpty()) {
                    *problem = u"offset %1: %2"_s.arg(item.offset).arg(converter.problem());
                    return false;
                }
            } else {
                // Videos and attachments: the reader has no use for them but
                // their names.
                result.html += u"<span class=\"sd-file\">"_s;
                appendText(result.html, name);
                result.html += u"</span>"_s;
                ++result.skipped;
            }
            result.html += u"</div>"_s;
        }
        result.html += u"</div>"_s;
        return true;
    }
    chopTrailingSpace(*text);
    result.html += u"<pre"_s;
    appendAttribute(result.html, "class", cssClass);
    result.html += u'>';
    appendText(result.html, *text);
    result.html += u"</pre>"_s;
    return true;
}
