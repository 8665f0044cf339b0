#pragma once

#include <QString>
#include <QVariantMap>

// A part of the dictionary object that a layer above the store brings: the
// search (its tables and worker) and the media (the page directory, the
// file cache, the media tables). The store knows parts only as this: it
// opens each at its stage of the opening sequence and closes them in the
// reverse order, and callers reach a part by its type (WLDatabase::part).
//
// Threading: main thread, as the dictionary object.
class WLDatabasePart
{
public:
    // Where the opening reaches the parts: after the headword list (tables
    // of their own), after the page's HTML fragments (files of the page),
    // and last of all (threads).
    enum class Stage { Tables, Files, Threads };

    virtual ~WLDatabasePart() = default;

    // False (after the part's report) abandons the opening.
    virtual bool prepare(Stage stage, const QVariantMap &info) = 0;
    // Releases what prepare(stage) made; safe after a partial prepare and
    // when run twice.
    virtual void cleanup(Stage stage) = 0;
};

// The part that extracts the media a page names into the page directory,
// as the page is assembled.
class WLAdditionReader
{
public:
    virtual ~WLAdditionReader() = default;
    // A tab-separated list of media references; true only if all of them
    // are in place.
    virtual bool readDataForAdditions(const QString &additions) = 0;
};
