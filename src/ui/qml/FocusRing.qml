import QtQuick
import WLReader.Kit

// The keyboard focus around its parent, drawn while the keyboard is in use:
// a ring with a light edge inside, seen on the bars as on the lists.
Rectangle {
    property bool shown: parent && parent.activeFocus
    anchors.fill: parent
    anchors.margins: -2
    visible: shown && InputMode.keyboard
    color: "transparent"
    radius: 5
    border.width: 3
    border.color: Style.focusRing
    z: 100
    Rectangle {
        anchors.fill: parent
        anchors.margins: 3
        radius: Math.max(0, parent.radius - 3)
        color: "transparent"
        border.width: 1
        border.color: "#ffffff"
    }
}
