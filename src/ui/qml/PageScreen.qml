import QtQuick
import QtWebEngine
import WLReader.Kit

// An entry page or the About page. The web engine draws what the
// controller's web view holds; the page host answers its questions. The
// page takes the keyboard focus (Tab goes from link to link, Enter follows
// one); a new entry on show is announced.
FocusScope {
    id: screen
    property var controller
    function focusContent() { engine.forceActiveFocus() }

    WebEngineView {
        id: engine
        objectName: "pageView"
        anchors.fill: parent
        focus: true
        activeFocusOnTab: true
        backgroundColor: "white"
        onNavigationRequested: function(request) { host.navigationRequested(request) }
        onNewWindowRequested: function(request) { host.newWindowRequested(request) }
        onFileDialogRequested: function(request) { host.fileDialogRequested(request) }
        onLoadingChanged: function(info) { host.loadingChanged(info) }
    }

    FocusRing {
        shown: engine.activeFocus
        anchors.margins: 1
        radius: 0
    }

    Connections {
        target: screen.controller ? screen.controller.webView : null
        function onLoadedSerialChanged() {
            if (screen.visible && screen.controller.word)
                Announcements.announce(screen.controller.word)
        }
    }

    PageHost {
        id: host
        view: engine
        webView: screen.controller ? screen.controller.webView : null
    }
}
