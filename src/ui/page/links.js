// Taps on same-document links ("#25") never reach the page view's
// navigation question; hand them to the viewer, which routes them like any
// other link and scrolls to the anchor itself when it declines.
(function () {
    if (typeof QWebChannel === "undefined" || !window.qt || !qt.webChannelTransport)
        return;
    new QWebChannel(qt.webChannelTransport, function (channel) {
        var viewer = channel.objects.viewer;
        document.addEventListener("click", function (event) {
            var link = event.target && event.target.closest ? event.target.closest("a[href]") : null;
            if (!link)
                return;
            var href = link.getAttribute("href");
            if (!href || href.charAt(0) !== "#")
                return;
            event.preventDefault();
            viewer.activate(href);
        }, true);
    });
})();
