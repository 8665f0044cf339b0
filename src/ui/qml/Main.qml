pragma ComponentBehavior: Bound

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
    color: Style.background

    // Qt 6.4's type registrar names this list type in a way qmllint does not
    // know (QList<QObject*>); the list itself is plain.
    readonly property var modals: App.window ? App.window.modalViewControllers : [] // qmllint disable type
    // Where the keyboard focus was before a modal screen came.
    property Item focusBeforeModal: null

    onWidthChanged: MainScreen.setApplicationFrameSize(width, height)
    onHeightChanged: MainScreen.setApplicationFrameSize(width, height)
    Component.onCompleted: {
        MainScreen.setApplicationFrameSize(width, height)
        content.focusContent()
    }

    ContainerView {
        id: content
        anchors.fill: parent
        container: App.window ? App.window.rootView : null
        // Under a modal screen nothing takes the focus or a tap.
        enabled: root.modals.length === 0
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
        color: Style.secondaryText
        font.pixelSize: 16
        font.family: Style.fontFamily
        Accessible.role: Accessible.AlertMessage
        Accessible.name: text
        Accessible.ignored: !visible
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
        nameFilters: [qsTrId("Dictionaries.Files") + " (*.ifo *.index *.dict *.dz *.idx DatabaseInfo.plist)",
                      qsTrId("AllFiles") + " (*)"]
        onAccepted: App.addDictionary(selectedFile)
    }
    Connections {
        target: App
        function onChooseDictionaryRequested() { dictionaryChooser.open() }
    }

    Repeater {
        model: root.modals
        delegate: ModalSheet {
            required property var modelData
            controller: modelData
            animated: App.window.lastModalChangeAnimated
            Component.onCompleted: {
                if (!root.focusBeforeModal)
                    root.focusBeforeModal = root.activeFocusItem
                focusContent()
            }
        }
    }

    AnnouncementView {}

    onModalsChanged: {
        if (modals.length === 0)
            Qt.callLater(restoreFocus)
    }
    // Back where the focus was before the modal screen, else to the screen
    // on show.
    function restoreFocus() {
        const before = focusBeforeModal
        focusBeforeModal = null
        if (modals.length > 0)
            return
        if (before && before.visible && before.enabled)
            before.forceActiveFocus()
        else
            content.focusContent()
    }
}
