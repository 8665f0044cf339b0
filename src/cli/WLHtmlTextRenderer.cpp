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
    explicit Writer(bool ansi) : m_ansi(ansi) {}

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
        while (!m_out.isEmpty() && (m_out.back() == u' ' || m_out.back() == u'\n'))
            m_out.chop(1);
        if (m_active != Plain)
            m_out += u"\x1b[0m"_s;
        if (!m_out.isEmpty())
            m_out += u'\n';
        return m_out;
    }

private:
    void element(const xmlNode *node)
    {
        if (namedAny(node, {"head", "script", "style", "title", "template", "noscript"}))
            return;
        if (named(node, "br")) {
            flush();
            m_out += u'\n';
            m_atLineStart = true;
            m_space = false;
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
        unsigned style = m_style;
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
            m_space = false;
            writeRaw(u"  "_s);
        }

        const unsigned outerStyle = m_style;
        const bool outerPre = m_pre;
        m_style = style;
        m_pre = m_pre || named(node, "pre");
        walk(node->children);
        m_style = outerStyle;
        m_pre = outerPre;

        if (paragraph)
            breakAtLeast(2);
        else if (line)
            breakAtLeast(1);
    }

    void text(const QString &content)
    {
        if (m_pre) {
            for (const QChar c : content) {
                if (c == u'\n') {
                    flush();
                    m_out += u'\n';
                    m_atLineStart = true;
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
                m_space = true;
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

    void breakAtLeast(int lines) { m_break = std::max(m_break, lines); }

    // Pending line breaks, then the pending space (not at a line start).
    void flush()
    {
        if (m_break > 0) {
            if (!m_out.isEmpty()) {
                // Line breaks already written count towards the ones asked.
                int have = 0;
                for (qsizetype k = m_out.size() - 1; k >= 0 && m_out[k] == u'\n' && have < m_break;
                     --k)
                    ++have;
                if (!m_atLineStart)
                    have = 0;
                for (int n = have; n < m_break; ++n)
                    m_out += u'\n';
                m_atLineStart = true;
            }
            m_break = 0;
            m_space = false;
        }
    }

    void writeRaw(const QString &piece)
    {
        flush();
        const bool restyle = m_ansi && m_active != m_style;
        // The space between differently styled words takes neither style.
        if (restyle && m_active != Plain) {
            m_out += u"\x1b[0m"_s;
            m_active = Plain;
        }
        if (m_space && !m_atLineStart && !m_out.isEmpty())
            m_out += u' ';
        m_space = false;
        if (restyle && m_style != Plain) {
            if (m_style & Bold)
                m_out += u"\x1b[1m"_s;
            if (m_style & Underline)
                m_out += u"\x1b[4m"_s;
            m_active = m_style;
        }
        m_out += piece;
        m_atLineStart = false;
    }

    bool m_ansi;
    QString m_out;
    int m_break = 0;
    bool m_space = false;
    bool m_atLineStart = true;
    bool m_pre = false;
    unsigned m_style = Plain;
    unsigned m_active = Plain;
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
