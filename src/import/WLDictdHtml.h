#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

// Turns the plain text of a dictd definition into a fragment of our source
// syntax: the text in a <pre>, as dictd shows it (lines and indentation
// kept, relative to the least indented line), HTML-escaped, the headword in
// bold, and each {cross reference} a [[target|text]] link when the resolver
// knows the target (plain text otherwise; the compiler escapes a link's
// text). A literal "[[" in the text is escaped so the compiler cannot take
// it for a link.
class WLDictdHtml
{
public:
    // The headword a cross-reference's text names, or nothing.
    using Resolver = std::function<std::optional<QString>(const QString &reference)>;

    struct Result
    {
        QString html;
        int links = 0;
        int unresolved = 0;
    };

    // The headword is set in bold where the first line begins with it, and
    // put before the text otherwise; an empty one is neither.
    static Result definition(QStringView text, QStringView headword, const Resolver &resolve);

    // Whether the first line of text begins with the headword (ignoring
    // case), followed by no letter or digit: definition() sets it in bold.
    static bool beginsWith(QStringView text, QStringView headword);
};
