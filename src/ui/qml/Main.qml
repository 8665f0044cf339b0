import QtQuick
import QtQuick.Dialogs
import QtQuick.Window
import WLReader.Kit

// The one window: the container of the tab bar (or the About screen), the
// modal screens over it, and a plain message when the dictionary failed.
Window {
    id: root
    objectName: "mainWindow"
    width: 390
    height: 760
    minimumWidth: 320
    minimumHeight: 480
    visible: App.shown
    title: App.title !== "" ? App.title + " — WL Reader" : "WL Reader"
    color: "white"

    onWidthChanged: MainScreen.setApplicationFrameSize(width, height)
    onHeightChanged: MainScreen.setApplicationFrameSize(width, height)
    Component.onCompleted: MainScreen.setApplicationFrameSize(width, height)

    ContainerView {
        anchors.fill: parent
        container: App.window ? App.window.rootView : null
    }

    Text {
        objectName: "openingFailure"
        visible: App.openingFailure !== ""
        anchors.centerIn: parent
        width: parent.width - 40
        text: App.openingFailure
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        horizontalAlignment: Text.AlignHCenter
        color: "#444444"
        font.pixelSize: 16
        font.family: Style.fontFamily
    }

    // A dictionary dropped on the window is added.
    DropArea {
        anchors.fill: parent
        onDropped: function(drop) { App.addDictionaries(drop.urls) }
    }

    FileDialog {
        id: dictionaryChooser
        title: qsTrId("Dictionaries.Add")
        currentFolder: App.chooserFolder
        nameFilters: ["Dictionaries (*.ifo *.index *.dict *.dz *.idx DatabaseInfo.plist)", "All files (*)"]
        onAccepted: App.addDictionary(selectedFile)
    }
    Connections {
        target: App
        function onChooseDictionaryRequested() { dictionaryChooser.open() }
    }

    Repeater {
        model: App.window ? App.window.modalViewControllers : []
        delegate: ModalSheet {
            controller: modelData
            animated: App.window.lastModalChangeAnimated
        }
    }
}
