pragma ComponentBehavior: Bound

import QtQuick
import WLReader.Kit

// An alert over the window: its title, its message and a button each.
FocusScope {
    id: screen
    property var controller

    // The cancel button first: a removal is never one key away.
    function focusContent() {
        const button = buttons.itemAt(controller ? controller.cancelButtonIndex : 0)
        if (button)
            button.forceActiveFocus()
    }

    Rectangle {
        anchors.fill: parent
        color: "#80000000"
        MouseArea { anchors.fill: parent }
    }
    Rectangle {
        id: box
        objectName: "alert"
        anchors.centerIn: parent
        width: Math.min(parent.width - 40, 300)
        height: column.height + 32
        radius: 12
        color: Style.dark ? "#2c2c2e" : "#f2f3f7"
        border.color: Style.dark ? "#48484a" : "#8a9fbb"
        Accessible.role: Accessible.AlertMessage
        Accessible.name: screen.controller ? screen.controller.title : ""
        Accessible.description: screen.controller ? screen.controller.message : ""

        Column {
            id: column
            x: 16
            y: 16
            width: box.width - 32
            spacing: 10
            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: screen.controller ? screen.controller.title : ""
                textFormat: Text.PlainText
                color: Style.text
                font.pixelSize: 17
                font.bold: true
                font.family: Style.fontFamily
            }
            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: screen.controller ? screen.controller.message : ""
                textFormat: Text.PlainText
                color: Style.text
                font.pixelSize: 14
                font.family: Style.fontFamily
            }
            Repeater {
                id: buttons
                model: screen.controller ? screen.controller.buttonTitles : []
                delegate: Rectangle {
                    id: button
                    required property string modelData
                    required property int index
                    objectName: "alertButton" + index
                    width: column.width
                    height: 40
                    radius: 8
                    color: press.pressed ? Style.barButtonDark : Style.barButton
                    // The cancel button has the focus first.
                    focus: index === (screen.controller ? screen.controller.cancelButtonIndex : 0)
                    activeFocusOnTab: true
                    Keys.onSpacePressed: screen.controller.tapButton(index)
                    Keys.onReturnPressed: screen.controller.tapButton(index)
                    Keys.onEnterPressed: screen.controller.tapButton(index)
                    Accessible.role: Accessible.Button
                    Accessible.name: modelData
                    Accessible.onPressAction: screen.controller.tapButton(index)
                    Text {
                        anchors.centerIn: parent
                        text: button.modelData
                        textFormat: Text.PlainText
                        color: "white"
                        font.pixelSize: 15
                        font.bold: button.index !== screen.controller.cancelButtonIndex
                        font.family: Style.fontFamily
                    }
                    MouseArea {
                        id: press
                        anchors.fill: parent
                        onClicked: screen.controller.tapButton(button.index)
                    }
                    FocusRing {
                        radius: 10
                    }
                }
            }
        }
    }
}
