#pragma once

#include <QString>

class WLProgress;

// What a build made, for its summary.
struct WLBuildSummary
{
    qsizetype headwords = 0;
    qsizetype fragments = 0;       // of all headwords, each with its link
    qsizetype storedFragments = 0; // distinct ones, each a contents row
    qint64 bytes = 0;              // the bundle's files together
};

// How a bundle's headword, link and search tables are stored.
enum class WLTableLayout
{
    // One file: each headword and look is stored once, and the tables the
    // description names are views over those rows. The default.
    Shared,
    // A file per table, every row with its own texts, as earlier builds
    // wrote them; kept so the reader's handling of that layout stays tested.
    Separate,
};

struct WLBuildOptions
{
    WLTableLayout tables = WLTableLayout::Shared;
};

// The dictionary compiler: a source folder (manifest.json and an entries
// file, see docs/SOURCE_FORMAT.md) in, a bundle the reader opens out.
class WLDictionaryCompiler
{
public:
    // Builds the bundle in a temporary sibling of outputDir and moves it
    // into place only when it is complete, replacing an older bundle there.
    // On failure nothing at outputDir has changed and the message names the
    // file and line at fault ("entries.jsonl:12: ..."). An existing
    // non-empty directory that is not a bundle is never replaced. Progress,
    // if given, hears of every phase (reading, ordering, writing each file)
    // as it goes.
    static bool build(const QString &sourceDir, const QString &outputDir, QString *errorMessage,
                      WLProgress *progress = nullptr, WLBuildSummary *summary = nullptr,
                      const WLBuildOptions &options = {});
};
