#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

// Turns the plain text of a dictd definition into a fragment of our source
// syntax: HTML-escaped text whose lines stay lines (<br>) and whose blank
// lines part paragraphs (<p>), indentation kept as no-break spaces (U+00A0), the
// headword in bold, and each {cross reference} a [[target|text]] link when
// the resolver knows the target (plain text otherwise; the compiler
// escapes a link's text). A literal "[[" in the text is escaped so the
// compiler cannot take it for a link.
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

    static Result definition(QStringView text, QStringView headword, const Resolver &resolve);

    // Paragraphs and lines only: no headword, no links (the About text).
    static QString paragraphs(QStringView text);

    // & < > " as character references.
    static void appendEscaped(QString &out, QStringView text);
};
