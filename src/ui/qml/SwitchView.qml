import QtQuick
import WLReader.Kit

// An on/off switch of the phone's size, 94 by 27. Space or Enter flips it.
Rectangle {
    id: toggle
    property var control
    // What the switch is for, as its row names it.
    property string label
    objectName: "switch"
    width: control && control.frame.width > 0 ? control.frame.width : 94
    height: control && control.frame.height > 0 ? control.frame.height : 27
    radius: 5
    border.color: "#8a8a8a"
    color: control && control.on ? "#1f7fe0" : Style.switchOff
    activeFocusOnTab: true
    Accessible.role: Accessible.CheckBox
    Accessible.name: control && control.accessibilityLabel !== "" ? control.accessibilityLabel : label
    Accessible.checkable: true
    Accessible.checked: control !== null && control.on
    Accessible.focusable: true
    Accessible.onToggleAction: flip()
    Accessible.onPressAction: flip()
    Keys.onSpacePressed: flip()
    Keys.onReturnPressed: flip()
    Keys.onEnterPressed: flip()
    function flip() {
        if (control)
            control.toggle(!control.on)
    }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        x: toggle.control && toggle.control.on ? 14 : toggle.width - width - 14
        text: toggle.control && toggle.control.on ? "ON" : "OFF"
        color: toggle.control && toggle.control.on ? "white" : Style.switchOffText
        font.pixelSize: 15
        font.bold: true
        font.family: Style.fontFamily
    }
    Rectangle {
        width: toggle.height + 10
        height: toggle.height
        radius: 5
        x: toggle.control && toggle.control.on ? toggle.width - width : 0
        border.color: "#8a8a8a"
        gradient: Gradient {
            GradientStop { position: 0; color: "#ffffff" }
            GradientStop { position: 1; color: "#d4d4d4" }
        }
        Behavior on x { NumberAnimation { duration: 150 } }
    }
    MouseArea {
        anchors.fill: parent
        onClicked: toggle.flip()
    }
    FocusRing {}
}
