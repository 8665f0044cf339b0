#pragma once

#include <QString>
#include <QUrl>

// What a tapped link in an entry page means, decided from its URL and the
// page directory alone: a cross-reference ("#" and a link ID, directly in
// the page directory), a sound or a picture (a file in a folder below it,
// by its extension), or nothing the viewer handles (left to the web view).
// Paths are compared by whole components after normalisation, so neither a
// sibling folder whose name begins like the page directory's nor a path
// that climbs out of it with ".." counts as inside.
//
// Reports go out as the entry viewer's "-[WLWebViewController
// receiveLinkRequest:]" and "isRequestForImage:".
class WLLinkRouter
{
public:
    struct Route {
        enum Action { Decline, ShowEntry, PlaySound, ShowImage };
        Action action = Decline;
        // ShowEntry: the cross-reference's link ID.
        int contentsLinkID = 0;
        // PlaySound, ShowImage: the file, normalised.
        QString path;

        bool operator==(const Route &) const = default;
    };

    // pageDirectory: the page directory's URL; empty when there is none.
    explicit WLLinkRouter(QUrl pageDirectory) : mPageDirectory(std::move(pageDirectory)) {}

    Route route(const QUrl &url) const;
    static bool isRequestForImage(const QUrl &url);

    // The phone's reading of "#25": leading white space, a sign, digits up
    // to the first other character; 0 when there are none.
    static int intValue(const QString &text);

private:
    QUrl mPageDirectory;
};
