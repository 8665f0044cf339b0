import QtQuick
import WLReader.Kit

// The light info button: a white "i" in a ring.
Item {
    id: button
    property var control
    objectName: "infoButton"
    width: 30
    height: 30
    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: control && control.accessibilityLabel !== "" ? control.accessibilityLabel : "i"
    Accessible.focusable: true
    Accessible.onPressAction: control.tap()
    Keys.onSpacePressed: control.tap()
    Keys.onReturnPressed: control.tap()
    Keys.onEnterPressed: control.tap()
    Rectangle {
        anchors.centerIn: parent
        width: 19
        height: 19
        radius: 9.5
        color: area.pressed ? "#40ffffff" : "transparent"
        border.color: "white"
        border.width: 2
        Text {
            anchors.centerIn: parent
            text: "i"
            color: "white"
            font.pixelSize: 13
            font.bold: true
            font.family: "DejaVu Serif"
        }
    }
    MouseArea {
        id: area
        anchors.fill: parent
        onClicked: button.control.tap()
    }
    FocusRing {}
}
