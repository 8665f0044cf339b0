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

bool startsWithWord(QStringView line, QStringView word)
{
    return !word.isEmpty() && line.startsWith(word, Qt::CaseInsensitive) &&
           (line.size() == word.size() || !line[word.size()].isLetterOrNumber());
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
        const QList<Line> lines = splitLines(text);
        mOut += u"<pre>"_s;
        if (lines.isEmpty()) {
            heading();
            if (mOut.endsWith(u'\n'))
                mOut.chop(1);
            mOut += u"</pre>"_s;
            return {mOut, 0, 0};
        }
        // Indentation is kept relative to the least indented line; runs of
        // blank lines become one.
        qsizetype minIndent = -1;
        for (const Line &line : lines) {
            if (!line.text.isEmpty())
                minIndent = minIndent < 0 ? line.indent : std::min(minIndent, line.indent);
        }
        QString stream;
        for (qsizetype k = 0; k < lines.size(); ++k) {
            if (k > 0 && lines[k].text.isEmpty() && lines[k - 1].text.isEmpty())
                continue;
            if (k > 0)
                stream += u'\n';
            if (!lines[k].text.isEmpty())
                stream += QString(lines[k].indent - minIndent, u' ');
            stream += lines[k].text;
        }

        qsizetype i = lines[0].indent - minIndent;
        mOut += QStringView(stream).left(i);
        if (startsWithWord(lines[0].text, mHeadword)) {
            mOut += u"<b>"_s;
            appendText(QStringView(stream).mid(i, mHeadword.size()));
            mOut += u"</b>"_s;
            i += mHeadword.size();
        } else {
            heading();
        }
        while (i < stream.size()) {
            const QChar c = stream[i];
            if (c == u'{' && mResolve) {
                i = reference(stream, i);
            } else {
                const qsizetype start = i;
                while (i < stream.size() && stream[i] != u'{')
                    ++i;
                if (i == start)
                    ++i; // a '{' with no resolver
                appendText(QStringView(stream).mid(start, i - start));
            }
        }
        mOut += u"</pre>"_s;
        return {mOut, mLinks, mUnresolved};
    }

private:
    // The headword on a line of its own, for a text that does not begin
    // with it.
    void heading()
    {
        if (mHeadword.isEmpty())
            return;
        mOut += u"<b>"_s;
        appendText(mHeadword);
        mOut += u"</b>\n"_s;
    }

    // Text between tags needs only these three escaped; and no "[[" may
    // reach the compiler but a link's.
    void appendText(QStringView text)
    {
        // Runs without a character to escape are appended whole.
        qsizetype plain = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c != u'[' && c != u'&' && c != u'<' && c != u'>')
                continue;
            mOut += text.mid(plain, i - plain);
            plain = i + 1;
            switch (c) {
            case u'[':
                appendBracketSafe(mOut);
                mOut += u'[';
                break;
            case u'&':
                mOut += u"&amp;"_s;
                break;
            case u'<':
                mOut += u"&lt;"_s;
                break;
            default:
                mOut += u"&gt;"_s;
            }
        }
        mOut += text.mid(plain);
    }

    // At a '{': a link, plain text, or a literal brace; answers where to go
    // on. The reference's text is shown as written, line breaks included.
    qsizetype reference(const QString &stream, qsizetype open)
    {
        qsizetype close = open + 1;
        while (close < stream.size() && close - open <= kLongestReference &&
               stream[close] != u'}' && stream[close] != u'{')
            ++close;
        if (close >= stream.size() || stream[close] != u'}') {
            mOut += u'{';
            return open + 1;
        }
        const QString shown = stream.mid(open + 1, close - open - 1);
        const QString name = shown.simplified();
        if (name.isEmpty()) {
            mOut += u"{"_s + shown + u"}"_s;
            return close + 1;
        }
        const std::optional<QString> target = (*mResolve)(name);
        if (target && linkable(*target, shown)) {
            appendBracketSafe(mOut);
            mOut += u"[["_s;
            mOut += *target;
            mOut += u'|';
            mOut += shown;
            mOut += u"]]"_s;
            ++mLinks;
        } else {
            appendText(shown);
            ++mUnresolved;
        }
        return close + 1;
    }

    QStringView mHeadword;
    const WLDictdHtml::Resolver *mResolve;
    QString mOut;
    int mLinks = 0;
    int mUnresolved = 0;
};

} // namespace

WLDictdHtml::Result WLDictdHtml::definition(QStringView text, QStringView headword,
                                            const Resolver &resolve)
{
    return Renderer(headword, resolve ? &resolve : nullptr).run(text);
}

bool WLDictdHtml::beginsWith(QStringView text, QStringView headword)
{
    const QList<Line> lines = splitLines(text);
    return !lines.isEmpty() && startsWithWord(lines.front().text, headword);
}
