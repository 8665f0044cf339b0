import QtQuick
import WLReader.Kit

// The keyboard focus around its parent, drawn while the keyboard is in use.
Rectangle {
    property bool shown: parent && parent.activeFocus
    anchors.fill: parent
    anchors.margins: -2
    visible: shown && InputMode.keyboard
    color: "transparent"
    radius: 5
    border.width: 2
    border.color: Style.focusRing
    z: 100
}
