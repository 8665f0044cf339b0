#pragma once

#include <QString>

// The dictionary compiler: a source folder (manifest.json and an entries
// file, see docs/SOURCE_FORMAT.md) in, a bundle the reader opens out.
class WLDictionaryCompiler
{
public:
    // Builds the bundle in a temporary sibling of outputDir and moves it
    // into place only when it is complete, replacing an older bundle there.
    // On failure nothing at outputDir has changed and the message names the
    // file and line at fault ("entries.jsonl:12: ..."). An existing
    // non-empty directory that is not a bundle is never replaced.
    static bool build(const QString &sourceDir, const QString &outputDir, QString *errorMessage);
};
