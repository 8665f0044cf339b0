// Every tap on a link of the page goes to the viewer, which decides what it
// means: an entry, a sound, a picture, a place in this page, another file
// of the page's folder, or a site for the desktop's browser. The engine
// itself would not ask about a same-document link ("#25") nor about a
// scheme it does not know. This runs in a script world of its own: the
// page cannot see the bridge, and only a click the user made counts.
(function () {
    if (typeof QWebChannel === "undefined" || !window.qt || !qt.webChannelTransport)
        return;
    new QWebChannel(qt.webChannelTransport, function (channel) {
        var viewer = channel.objects.viewer;
        document.addEventListener("click", function (event) {
            if (!event.isTrusted || event.button !== 0)
                return;
            var link = event.target && event.target.closest
                ? event.target.closest("a[href], area[href]") : null;
            if (!link)
                return;
            var href = link.getAttribute("href");
            if (!href)
                return;
            event.preventDefault();
            viewer.activate(href, link.href);
        }, true);
        // For whoever drives the page from this world (the tests).
        window.wlReaderLinksReady = true;
    });
})();
