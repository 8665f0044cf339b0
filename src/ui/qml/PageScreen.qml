import QtQuick
import QtWebEngine
import WLReader.Kit

// An entry page or the About page. The web engine draws what the
// controller's web view holds; the page host answers its questions.
Item {
    id: screen
    property var controller

    WebEngineView {
        id: engine
        objectName: "pageView"
        anchors.fill: parent
        backgroundColor: "white"
        onNavigationRequested: function(request) { host.navigationRequested(request) }
        onNewWindowRequested: function(request) { host.newWindowRequested(request) }
        onFileDialogRequested: function(request) { host.fileDialogRequested(request) }
        onLoadingChanged: function(info) { host.loadingChanged(info) }
    }

    PageHost {
        id: host
        view: engine
        webView: screen.controller ? screen.controller.webView : null
    }
}
