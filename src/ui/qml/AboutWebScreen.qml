import QtQuick
import QtWebEngine
import WLReader.Kit

// The About page: the web engine shows what the controller's web view
// holds and asks it before following a link.
Item {
    id: screen
    property var controller
    readonly property var webView: controller ? controller.webView : null
    property int requestedSerial: 0

    WebEngineView {
        id: engine
        objectName: "aboutWebView"
        anchors.fill: parent
        backgroundColor: "white"
        settings.javascriptCanOpenWindows: false
        settings.focusOnNavigationEnabled: false

        onNavigationRequested: function(request) {
            // The engine's kinds of navigation in the phone's terms.
            const kinds = [0, 5, 1, 2, 3, 5, 5]
            const kind = request.navigationType < kinds.length ? kinds[request.navigationType] : 5
            if (request.url.toString().startsWith("data:"))
                return
            if (screen.webView && !screen.webView.shouldStartLoad(request.url, kind))
                request.reject()
        }
        onLoadingChanged: function(info) {
            if (!screen.webView)
                return
            if (info.status === WebEngineView.LoadSucceededStatus)
                screen.webView.loadFinished(screen.requestedSerial, true)
            else if (info.status === WebEngineView.LoadFailedStatus)
                screen.webView.loadFinished(screen.requestedSerial, false)
        }
        Component.onCompleted: screen.show()
    }

    Connections {
        target: screen.webView
        function onContentChanged() { screen.show() }
    }

    function show() {
        if (!webView || webView.contentSerial === requestedSerial)
            return
        requestedSerial = webView.contentSerial
        if (webView.html !== "" || webView.url.toString() === "")
            engine.loadHtml(webView.html, webView.baseUrl)
        else
            engine.url = webView.url
    }
}
