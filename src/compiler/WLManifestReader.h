#pragma once

#include "WLSourceManifest.h"

#include <QString>

// Reads and checks manifest.json of a source folder. Every value is checked
// here, so a bundle is never half written because of a bad manifest.
namespace WLManifestReader {

inline constexpr char kFileName[] = "manifest.json";

// False and a message naming the file (and the line, where one can be
// found) when the manifest is missing, malformed or names something wrong.
bool read(const QString &sourceDir, WLSourceManifest *manifest, QString *errorMessage);

// True for a name a source may use for a file it ships: relative, inside
// the folder, no "." or ".." steps.
bool isSafeRelativePath(const QString &name);

// An identifier made from a title: its letters and digits in lower case,
// accents taken off, other runs of characters as "-", and a short hash of
// the whole title, so that titles that differ only in those give different
// identifiers ("oxford-english-3f2a9c1e").
QString identifierFromTitle(const QString &title);

// Letters and digits of ASCII, ".", "-" and "_", 1 to 100 of them.
bool isIdentifier(const QString &identifier);

} // namespace WLManifestReader
