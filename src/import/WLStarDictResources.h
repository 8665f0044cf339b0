#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The res/ folder beside a StarDict dictionary: its pictures and sounds,
// each with the name it gets in a media table of the source folder. Only
// regular files count; symbolic links are never followed, so nothing
// outside the folder is read. Read-only after scan(): any thread may look
// names up.
class WLStarDictResources
{
public:
    enum class Kind { Picture, Sound };

    struct Media
    {
        Kind kind = Kind::Picture;
        QString table;   // "pictures" or "sounds"
        QString name;    // in the table: a plain file name, unique within it
        QString path;    // the file in res/
        bool viewable = false; // a picture the picture viewer opens, a sound the player plays
        QString reference() const { return table + u'/' + name; }
    };

    // Files larger than this are refused.
    static constexpr qint64 kLargestFile = 64 << 20;

    // Lists resDir (which may be absent); false with a message when it
    // cannot be read or is a symbolic link.
    bool scan(const QString &resDir, QString *error);

    // The picture or sound a normalised name (see normalise) names, or
    // nothing.
    const Media *find(const QString &name) const;
    // The picture or sound of a media reference ("pictures/a.png").
    const Media *byReference(const QString &reference) const;
    bool isEmpty() const { return mMedia.isEmpty(); }

    // A resource name as a dictionary writes it ("pic/a.png", with '\' or
    // '/' between folders) as a path inside res/; nothing with the problem
    // set for an absolute path, a URL or a name that climbs out with "..".
    static std::optional<QString> normalise(const QString &name, QString *problem);
    // What the name's extension makes of a file: picture, sound or nothing.
    static std::optional<Kind> kindOf(const QString &name);

private:
    QHash<QString, Media> mMedia;       // by path inside res/
    QHash<QString, QString> mReferenced; // path inside res/ by media reference
};
