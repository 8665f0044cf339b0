#pragma once

#include <QString>
#include <QStringList>

// Installed dictionaries: one bundle folder each, named for the dictionary,
// in "wlreader/dictionaries" under $XDG_DATA_HOME (~/.local/share), then
// under each folder of $XDG_DATA_DIRS (/usr/local/share:/usr/share), then
// in the share folder installed with the program, wherever its prefix is.
namespace WLDictionaryFolders {

// The folders that hold installed dictionaries, the user's first.
QStringList searchPaths();

// The bundle that "--dictionary FOLDER|NAME" means: an existing folder as
// given; else, for a plain name, the first installed dictionary of that
// name; else the text itself, for the caller to report.
QString resolve(const QString &folderOrName);

} // namespace WLDictionaryFolders
