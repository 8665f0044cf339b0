#pragma once

#include "WLTextStore.h"

#include <QList>
#include <QString>
#include <QStringList>

// One HTML fragment of an entry, as the source gives it; its HTML waits in
// the text store. The line is where it was written, so every later error
// can point at it.
struct WLSourceFragment
{
    WLTextRef html;
    QStringList media;
    int line = 0;
    // Given as "sameAs": another entry's fragment; while the file is read,
    // html holds its link text, and then the fragment is made a copy of it.
    bool isCopy = false;
};

// One headword with everything the source says about it; lines with the same
// headword have been merged into it in source order.
struct WLSourceEntry
{
    QString headword;
    // Folded to lower case and NFC, no duplicates, in order of appearance.
    QStringList looks;
    QList<WLSourceFragment> fragments;
    int line = 0;
};
