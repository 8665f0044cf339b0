#include "WLHtmlTextRenderer.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

enum Style : unsigned { Plain = 0, Bold = 1, Underline = 2 };

bool named(const xmlNode *node, const char *name)
{
    return xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar *>(name)) == 0;
}

bool namedAny(const xmlNode *node, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (named(node, name))
            return true;
    }
    return false;
}

QString attribute(const xmlNode *node, const char *name)
{
    xmlChar *value = xmlGetProp(node, reinterpret_cast<const xmlChar *>(name));
    if (!value)
        return {};
    QString text = QString::fromUtf8(reinterpret_cast<const char *>(value));
    xmlFree(value);
    return text;
}

class Writer
{
public:
    explicit Writer(bool ansi) : mAnsi(ansi) {}

    void walk(const xmlNode *node)
    {
        for (; node; node = node->next) {
            if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                text(QString::fromUtf8(reinterpret_cast<const char *>(node->content)));
            } else if (node->type == XML_ELEMENT_NODE) {
                element(node);
            }
        }
    }

    QString finish()
    {
        while (!mOut.isEmpty() && (mOut.back() == u' ' || mOut.back() == u'\n'))
            mOut.chop(1);
        if (mActive != Plain)
            mOut += u"\x1b[0m"_s;
        if (!mOut.isEmpty())
            mOut += u'\n';
        return mOut;
    }

private:
    void element(const xmlNode *node)
    {
        if (namedAny(node, {"head", "script", "style", "title", "template", "noscript"}))
            return;
        if (named(node, "br")) {
            flush();
            mOut += u'\n';
            mAtLineStart = true;
            mSpace = false;
            return;
        }
        if (named(node, "hr")) {
            breakAtLeast(2);
            writeRaw(QString(40, QChar(0x2500)));
            breakAtLeast(2);
            return;
        }
        if (named(node, "img")) {
            const QString alt = attribute(node, "alt").simplified();
            if (!alt.isEmpty())
                text(u"["_s + alt + u"]"_s);
            return;
        }

        const bool paragraph =
            namedAny(node, {"p", "h1", "h2", "h3", "h4", "h5", "h6", "blockquote", "pre", "table",
                            "ul", "ol", "dl", "figure", "address"});
        const bool line =
            !paragraph &&
            namedAny(node, {"div", "li", "tr", "dt", "dd", "section", "article", "header", "footer",
                            "nav", "aside", "main", "caption", "figcaption", "center", "form"});
        const bool heading = node->name && node->name[0] &&
                             (node->name[0] == 'h' || node->name[0] == 'H') &&
                             node->name[1] >= '1' && node->name[1] <= '6' && !node->name[2];
        unsigned style = mStyle;
        if (heading || namedAny(node, {"b", "strong", "th", "dt"}))
            style |= Bold;
        if (named(node, "a") && !attribute(node, "href").isEmpty())
            style |= Underline;

        if (paragraph)
            breakAtLeast(2);
        else if (line)
            breakAtLeast(1);
        if (named(node, "li")) {
            const xmlNode *list = node->parent;
            if (list && named(list, "ol")) {
                int number = 1;
                for (const xmlNode *n = list->children; n && n != node; n = n->next)
                    number += n->type == XML_ELEMENT_NODE && named(n, "li");
                writeRaw(u"%1. "_s.arg(number));
            } else {
                writeRaw(u"\u2022 "_s);
            }
        }
        if (namedAny(node, {"td", "th"}) && node->prev) {
            mSpace = false;
            writeRaw(u"  "_s);
        }

        const unsigned outerStyle = mStyle;
        const bool outerPre = mPre;
        mStyle = style;
        mPre = mPre || named(node, "pre");
        walk(node->children);
        mStyle = outerStyle;
        mPre = outerPre;

        if (paragraph)
            breakAtLeast(2);
        else if (line)
            breakAtLeast(1);
    }

    void text(const QString &content)
    {
        if (mPre) {
            for (const QChar c : content) {
                if (c == u'\n') {
                    flush();
                    mOut += u'\n';
                    mAtLineStart = true;
                } else {
                    writeRaw(QString(c == QChar(0xa0) ? QChar(u' ') : c));
                }
            }
            return;
        }
        // HTML white space is ASCII only; U+00A0 is a character like any other.
        qsizetype i = 0;
        while (i < content.size()) {
            const QChar c = content[i];
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
                mSpace = true;
                ++i;
                continue;
            }
            qsizetype end = i;
            while (end < content.size() && content[end] != u' ' && content[end] != u'\t' &&
                   content[end] != u'\n' && content[end] != u'\r' && content[end] != u'\f')
                ++end;
            QString word = content.mid(i, end - i);
            word.replace(QChar(0xa0), u' ');
            writeRaw(word);
            i = end;
        }
    }

    void breakAtLeast(int lines) { mBreak = std::max(mBreak, lines); }

    // Pending line breaks, then the pending space (not at a line start).
    void flush()
    {
        if (mBreak > 0) {
            if (!mOut.isEmpty()) {
                // Line breaks already written count towards the ones asked.
                int have = 0;
                for (qsizetype k = mOut.size() - 1; k >= 0 && mOut[k] == u'\n' && have < mBreak;
                     --k)
                    ++have;
                if (!mAtLineStart)
                    have = 0;
                for (int n = have; n < mBreak; ++n)
                    mOut += u'\n';
                mAtLineStart = true;
            }
            mBreak = 0;
            mSpace = false;
        }
    }

    void writeRaw(const QString &piece)
    {
        flush();
        const bool restyle = mAnsi && mActive != mStyle;
        // The space between differently styled words takes neither style.
        if (restyle && mActive != Plain) {
            mOut += u"\x1b[0m"_s;
            mActive = Plain;
        }
        if (mSpace && !mAtLineStart && !mOut.isEmpty())
            mOut += u' ';
        mSpace = false;
        if (restyle && mStyle != Plain) {
            if (mStyle & Bold)
                mOut += u"\x1b[1m"_s;
            if (mStyle & Underline)
                mOut += u"\x1b[4m"_s;
            mActive = mStyle;
        }
        mOut += piece;
        mAtLineStart = false;
    }

    bool mAnsi;
    QString mOut;
    int mBreak = 0;
    bool mSpace = false;
    bool mAtLineStart = true;
    bool mPre = false;
    unsigned mStyle = Plain;
    unsigned mActive = Plain;
};

struct DocFree
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};

} // namespace

QString WLHtmlTextRenderer::render(const QString &html, bool ansiStyles)
{
    const QByteArray utf8 = html.toUtf8();
    const std::unique_ptr<xmlDoc, DocFree> doc(
        htmlReadMemory(utf8.constData(), int(utf8.size()), nullptr, "UTF-8",
                       HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                           HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC));
    if (!doc)
        return {};
    Writer writer(ansiStyles);
    writer.walk(xmlDocGetRootElement(doc.get()));
    return writer.finish();
}
