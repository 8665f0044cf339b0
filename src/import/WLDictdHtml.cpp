#include "WLDictdHtml.h"

#include <QList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kLongestReference = 256;

struct Line
{
    QString text; // without its indentation
    qsizetype indent = 0;
};

QList<Line> splitLines(QStringView text)
{
    QList<Line> lines;
    for (QStringView raw : text.tokenize(u'\n')) {
        Line line;
        qsizetype column = 0;
        qsizetype i = 0;
        for (; i < raw.size() && (raw[i] == u' ' || raw[i] == u'\t'); ++i)
            column = raw[i] == u'\t' ? (column / 8 + 1) * 8 : column + 1;
        line.indent = column;
        QStringView rest = raw.mid(i);
        while (!rest.isEmpty() && rest.back().isSpace())
            rest.chop(1);
        // Inner tabs line columns up in the source; one space reads the same.
        line.text = rest.toString().replace(u'\t', u' ');
        lines.append(std::move(line));
    }
    while (!lines.isEmpty() && lines.front().text.isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.back().text.isEmpty())
        lines.removeLast();
    return lines;
}

// A literal '[' never stands right before another '[' in the output.
void appendBracketSafe(QString &out)
{
    if (out.endsWith(u'['))
        out.replace(out.size() - 1, 1, u"&#91;"_s);
}

// The compiler reads [[target|shown]] up to the first "]]" and splits at
// the first '|'; it escapes the shown text itself.
bool linkable(const QString &target, const QString &shown)
{
    const auto closes = [](const QString &text) {
        return text.contains(u"]]"_s) || text.endsWith(u']');
    };
    return !target.contains(u'|') && !target.contains(u"[["_s) && !closes(target) && !closes(shown);
}

class Renderer
{
public:
    Renderer(QStringView headword, const WLDictdHtml::Resolver *resolve)
        : m_headword(headword), m_resolve(resolve)
    {
    }

    WLDictdHtml::Result run(QStringView text)
    {
        m_lines = splitLines(text);
        if (m_lines.isEmpty()) {
            if (!m_headword.isEmpty()) {
                m_out += u"<p><b>"_s;
                WLDictdHtml::appendEscaped(m_out, m_headword);
                m_out += u"</b></p>"_s;
            }
            return {m_out, 0, 0};
        }
        // Indentation is kept relative to the least indented line.
        qsizetype minIndent = -1;
        for (const Line &line : std::as_const(m_lines)) {
            if (!line.text.isEmpty())
                minIndent = minIndent < 0 ? line.indent : std::min(minIndent, line.indent);
        }
        m_minIndent = std::max<qsizetype>(minIndent, 0);

        // The whole text as one stream, so a reference may run across lines.
        QString stream;
        for (qsizetype k = 0; k < m_lines.size(); ++k) {
            if (k)
                stream += u'\n';
            stream += m_lines[k].text;
        }

        qsizetype i = 0;
        const QString &first = m_lines[0].text;
        const bool emphasise =
            !m_headword.isEmpty() && first.startsWith(m_headword, Qt::CaseInsensitive) &&
            (first.size() == m_headword.size() || !first[m_headword.size()].isLetterOrNumber());
        if (!m_headword.isEmpty() && !emphasise) {
            m_out += u"<p><b>"_s;
            WLDictdHtml::appendEscaped(m_out, m_headword);
            m_out += u"</b></p>"_s;
        }
        m_out += u"<p>"_s;
        indent(0);
        if (emphasise) {
            m_out += u"<b>"_s;
            WLDictdHtml::appendEscaped(m_out, QStringView(first).left(m_headword.size()));
            m_out += u"</b>"_s;
            i = m_headword.size();
        }
        while (i < stream.size()) {
            const QChar c = stream[i];
            if (c == u'\n') {
                newLine();
                ++i;
            } else if (c == u'{' && m_resolve) {
                i = reference(stream, i);
            } else if (c == u'[') {
                appendBracketSafe(m_out);
                m_out += c;
                ++i;
            } else {
                const qsizetype start = i;
                while (i < stream.size() && stream[i] != u'\n' && stream[i] != u'[' &&
                       stream[i] != u'{')
                    ++i;
                if (i == start)
                    ++i; // a '{' with no resolver
                WLDictdHtml::appendEscaped(m_out, QStringView(stream).mid(start, i - start));
            }
        }
        m_out += u"</p>"_s;
        return {m_out, m_links, m_unresolved};
    }

private:
    void newLine()
    {
        ++m_line;
        if (m_lines[m_line].text.isEmpty()) {
            m_paragraphPending = true;
            return;
        }
        m_out += m_paragraphPending ? u"</p>\n<p>"_s : u"<br>\n"_s;
        m_paragraphPending = false;
        indent(m_line);
    }

    // No-break spaces as characters, not entities: a big dictionary has
    // millions of them.
    void indent(qsizetype line)
    {
        if (const qsizetype n = m_lines[line].indent - m_minIndent; n > 0)
            m_out += QString(n, QChar(0xa0));
    }

    // At a '{': a link, plain text, or a literal brace; answers where to go on.
    qsizetype reference(const QString &stream, qsizetype open)
    {
        qsizetype close = open + 1;
        while (close < stream.size() && close - open <= kLongestReference &&
               stream[close] != u'}' && stream[close] != u'{')
            ++close;
        if (close >= stream.size() || stream[close] != u'}') {
            WLDictdHtml::appendEscaped(m_out, u"{");
            return open + 1;
        }
        const QString shown =
            QStringView(stream).mid(open + 1, close - open - 1).toString().simplified();
        if (shown.isEmpty()) {
            WLDictdHtml::appendEscaped(m_out, u"{}");
            return close + 1;
        }
        const std::optional<QString> target = (*m_resolve)(shown);
        if (target && linkable(*target, shown)) {
            appendBracketSafe(m_out);
            m_out += u"[["_s;
            m_out += *target;
            m_out += u'|';
            m_out += shown;
            m_out += u"]]"_s;
            ++m_links;
        } else {
            WLDictdHtml::appendEscaped(m_out, shown);
            ++m_unresolved;
        }
        // Line breaks inside the reference are spent.
        for (qsizetype k = open; k < close; ++k) {
            if (stream[k] == u'\n')
                ++m_line;
        }
        return close + 1;
    }

    QStringView m_headword;
    const WLDictdHtml::Resolver *m_resolve;
    QList<Line> m_lines;
    qsizetype m_minIndent = 0;
    qsizetype m_line = 0;
    bool m_paragraphPending = false;
    QString m_out;
    int m_links = 0;
    int m_unresolved = 0;
};

} // namespace

void WLDictdHtml::appendEscaped(QString &out, QStringView text)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;"_s;
            break;
        case u'<':
            out += u"&lt;"_s;
            break;
        case u'>':
            out += u"&gt;"_s;
            break;
        case u'"':
            out += u"&quot;"_s;
            break;
        default:
            out += c;
        }
    }
}

WLDictdHtml::Result WLDictdHtml::definition(QStringView text, QStringView headword,
                                            const Resolver &resolve)
{
    return Renderer(headword, resolve ? &resolve : nullptr).run(text);
}

QString WLDictdHtml::paragraphs(QStringView text)
{
    return Renderer({}, nullptr).run(text).html;
}
