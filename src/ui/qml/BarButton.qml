import QtQuick
import WLReader.Kit

// A navigation bar item: its custom view, or a bordered button with its
// title ("+" for the stock Add item).
Item {
    id: button
    property var item
    readonly property bool custom: item !== null && item.customView !== null
    width: custom ? view.width : label.implicitWidth + (item && item.systemItem === 4 ? 22 : 20)
    height: custom ? view.height : 30
    opacity: item && !item.enabled ? 0.5 : 1
    // A custom view takes the focus itself.
    activeFocusOnTab: visible && !custom && item !== null && item.enabled
    Accessible.role: Accessible.Button
    Accessible.name: item ? item.accessibilityLabel : ""
    Accessible.ignored: custom || !visible
    Accessible.focusable: true
    Accessible.onPressAction: trigger()
    Keys.onSpacePressed: trigger()
    Keys.onReturnPressed: trigger()
    Keys.onEnterPressed: trigger()
    function trigger() {
        if (item && !custom)
            item.trigger()
    }

    ControlView {
        id: view
        visible: button.custom
        control: button.custom ? button.item.customView : null
    }
    Rectangle {
        visible: !button.custom
        anchors.fill: parent
        radius: 5
        border.color: Style.barButtonBorder
        gradient: Gradient {
            GradientStop { position: 0; color: area.pressed ? Style.barButtonDark : (button.item && button.item.style === 2 ? "#6b9ff0" : Style.barButtonLight) }
            GradientStop { position: 1; color: area.pressed ? Style.barButtonDarkBottom : (button.item && button.item.style === 2 ? Style.doneButton : Style.barButton) }
        }
    }
    Text {
        id: label
        visible: !button.custom
        anchors.centerIn: parent
        text: button.item ? button.item.title : ""
        textFormat: Text.PlainText
        color: "white"
        font.pixelSize: button.item && button.item.systemItem === 4 ? 22 : 12
        font.bold: true
        font.family: Style.fontFamily
    }
    MouseArea {
        id: area
        visible: !button.custom
        anchors.fill: parent
        onClicked: button.item.trigger()
    }
    FocusRing {}
}
