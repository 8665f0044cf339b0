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

} // namespace WLManifestReader
