#pragma once

#include <QString>

// The part of the reader's start that needs no window: finding the reader
// already open on a dictionary and handing it a word. The small wlreader
// front program runs only this (and Qt Core and Network), so a word given
// to a running reader does not wait for the window's libraries to load.
namespace WLReaderHandOver {

// Where the reader of a bundle listens for the words of later starts.
QString socketPathFor(const QString &bundle);

// Hands the word (empty: only "come to the front") to a reader open on the
// dictionary given as on the command line (empty: $WL_DICTIONARY, else the
// one used last, else the demo); true when one took it.
bool handOver(const QString &dictionaryPath, const QString &word);

} // namespace WLReaderHandOver
