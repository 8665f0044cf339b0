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
        : mHeadword(headword), mResolve(resolve)
    {
    }

    WLDictdHtml::Result run(QStringView text)
    {
        mLines = splitLines(text);
        if (mLines.isEmpty()) {
            if (!mHeadword.isEmpty()) {
                mOut += u"<p><b>"_s;
                WLDictdHtml::appendEscaped(mOut, mHeadword);
                mOut += u"</b></p>"_s;
            }
            return {mOut, 0, 0};
        }
        // Indentation is kept relative to the least indented line.
        qsizetype minIndent = -1;
        for (const Line &line : std::as_const(mLines)) {
            if (!line.text.isEmpty())
                minIndent = minIndent < 0 ? line.indent : std::min(minIndent, line.indent);
        }
        mMinIndent = std::max<qsizetype>(minIndent, 0);

        // The whole text as one stream, so a reference may run across lines.
        QString stream;
        for (qsizetype k = 0; k < mLines.size(); ++k) {
            if (k)
                stream += u'\n';
            stream += mLines[k].text;
        }

        qsizetype i = 0;
        const QString &first = mLines[0].text;
        const bool emphasise =
            !mHeadword.isEmpty() && first.startsWith(mHeadword, Qt::CaseInsensitive) &&
            (first.size() == mHeadword.size() || !first[mHeadword.size()].isLetterOrNumber());
        if (!mHeadword.isEmpty() && !emphasise) {
            mOut += u"<p><b>"_s;
            WLDictdHtml::appendEscaped(mOut, mHeadword);
            mOut += u"</b></p>"_s;
        }
        mOut += u"<p>"_s;
        indent(0);
        if (emphasise) {
            mOut += u"<b>"_s;
            WLDictdHtml::appendEscaped(mOut, QStringView(first).left(mHeadword.size()));
            mOut += u"</b>"_s;
            i = mHeadword.size();
        }
        while (i < stream.size()) {
            const QChar c = stream[i];
            if (c == u'\n') {
                newLine();
                ++i;
            } else if (c == u'{' && mResolve) {
                i = reference(stream, i);
            } else if (c == u'[') {
                appendBracketSafe(mOut);
                mOut += c;
                ++i;
            } else {
                const qsizetype start = i;
                while (i < stream.size() && stream[i] != u'\n' && stream[i] != u'[' &&
                       stream[i] != u'{')
                    ++i;
                if (i == start)
                    ++i; // a '{' with no resolver
                WLDictdHtml::appendEscaped(mOut, QStringView(stream).mid(start, i - start));
            }
        }
        mOut += u"</p>"_s;
        return {mOut, mLinks, mUnresolved};
    }

private:
    void newLine()
    {
        ++mLine;
        if (mLines[mLine].text.isEmpty()) {
            mParagraphPending = true;
            return;
        }
        mOut += mParagraphPending ? u"</p>\n<p>"_s : u"<br>\n"_s;
        mParagraphPending = false;
        indent(mLine);
    }

    // No-break spaces as characters, not entities: a big dictionary has
    // millions of them.
    void indent(qsizetype line)
    {
        if (const qsizetype n = mLines[line].indent - mMinIndent; n > 0)
            mOut += QString(n, QChar(0xa0));
    }

    // At a '{': a link, plain text, or a literal brace; answers where to go on.
    qsizetype reference(const QString &stream, qsizetype open)
    {
        qsizetype close = open + 1;
        while (close < stream.size() && close - open <= kLongestReference &&
               stream[close] != u'}' && stream[close] != u'{')
            ++close;
        if (close >= stream.size() || stream[close] != u'}') {
            WLDictdHtml::appendEscaped(mOut, u"{");
            return open + 1;
        }
        const QString shown =
            QStringView(stream).mid(open + 1, close - open - 1).toString().simplified();
        if (shown.isEmpty()) {
            WLDictdHtml::appendEscaped(mOut, u"{}");
            return close + 1;
        }
        const std::optional<QString> target = (*mResolve)(shown);
        if (target && linkable(*target, shown)) {
            appendBracketSafe(mOut);
            mOut += u"[["_s;
            mOut += *target;
            mOut += u'|';
            mOut += shown;
            mOut += u"]]"_s;
            ++mLinks;
        } else {
            WLDictdHtml::appendEscaped(mOut, shown);
            ++mUnresolved;
        }
        // Line breaks inside the reference are spent.
        for (qsizetype k = open; k < close; ++k) {
            if (stream[k] == u'\n')
                ++mLine;
        }
        return close + 1;
    }

    QStringView mHeadword;
    const WLDictdHtml::Resolver *mResolve;
    QList<Line> mLines;
    qsizetype mMinIndent = 0;
    qsizetype mLine = 0;
    bool mParagraphPending = false;
    QString mOut;
    int mLinks = 0;
    int mUnresolved = 0;
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
