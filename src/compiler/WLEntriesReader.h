#pragma once

#include "WLSourceEntry.h"

class WLProgressMeter;

#include <QList>
#include <QString>

// Reads the entries file of a source folder: one JSON object per line,
// blank lines and lines starting with "//" skipped. Lines with the same
// headword are merged into one entry, in source order; the fragments' HTML
// goes into the text store.
namespace WLEntriesReader {

// False and "FILE:LINE: what is wrong" on the first bad line.
// The meter, if any, counts the bytes read.
bool read(const QString &path, const QString &displayName, WLTextStore *texts,
          QList<WLSourceEntry> *entries, QString *errorMessage, WLProgressMeter *meter = nullptr);

// A look string as it is stored and searched: lower case, NFC.
QString foldLook(const QString &text);

} // namespace WLEntriesReader
