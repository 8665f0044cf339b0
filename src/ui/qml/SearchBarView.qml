import QtQuick
import WLReader.Kit

// The search bar: a rounded field with a magnifier and a clear button, and
// Cancel at the right while the control shows it. The field has the
// keyboard focus exactly while the control is the first responder; edits,
// Return and the buttons go back to the control.
Rectangle {
    id: bar
    property var control
    // At most this wide, when the navigation bar has items beside it.
    property real maximumWidth: -1
    readonly property real frameWidth: control && control.frame.width > 0 ? control.frame.width : 300
    objectName: "searchBar"
    clip: true
    width: maximumWidth >= 0 ? Math.min(frameWidth, maximumWidth) : frameWidth
    height: 44
    Behavior on width {
        NumberAnimation { duration: bar.control ? bar.control.animationDuration * 1000 : 0 }
    }
    // The navigation bar behind it shows through.
    color: "transparent"

    Rectangle {
        id: box
        x: 6
        anchors.verticalCenter: parent.verticalCenter
        width: Math.max(0, (cancel.shown ? cancel.x : bar.width) - 6 - x)
        height: 30
        radius: 15
        color: Style.fieldBackground
        border.color: Style.barLine
        clip: true

        // The magnifier: a ring and its handle.
        Item {
            id: glass
            x: 9
            anchors.verticalCenter: parent.verticalCenter
            width: 14
            height: 14
            Rectangle {
                width: 10
                height: 10
                radius: 5
                color: "transparent"
                border.color: "#8a8a8a"
                border.width: 2
            }
            Rectangle {
                x: 8
                y: 10
                width: 6
                height: 2
                radius: 1
                rotation: 45
                color: "#8a8a8a"
            }
        }

        TextInput {
            id: field
            objectName: "searchField"
            anchors.left: glass.right
            anchors.leftMargin: 6
            anchors.right: clear.visible ? clear.left : parent.right
            anchors.rightMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            text: bar.control ? bar.control.text : ""
            clip: true
            selectByMouse: true
            activeFocusOnTab: true
            Accessible.name: qsTrId("Search")
            Accessible.searchEdit: true
            font.pixelSize: 15
            font.family: Style.fontFamily
            color: Style.fieldText
            selectionColor: Style.selectionBottom
            selectedTextColor: "white"
            inputMethodHints: bar.control && bar.control.autocorrectionType === 1
                              ? Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText : Qt.ImhNone
            onTextEdited: bar.control.editText(text)
            onAccepted: bar.control.clickSearchButton()
            onActiveFocusChanged: {
                if (!bar.control)
                    return
                if (activeFocus && !bar.control.firstResponder && !bar.control.beginEditing())
                    focus = false
                else if (!activeFocus && bar.control.firstResponder)
                    bar.control.endEditing()
            }
        }

        FocusRing {
            shown: field.activeFocus
            anchors.margins: 1
            radius: 14
        }

        // The clear button.
        Rectangle {
            id: clear
            objectName: "clearButton"
            visible: field.text !== ""
            anchors.right: parent.right
            anchors.rightMargin: 7
            anchors.verticalCenter: parent.verticalCenter
            width: 17
            height: 17
            radius: 8.5
            color: clearArea.pressed ? "#7a7a7a" : "#b3b3b3"
            Accessible.role: Accessible.Button
            Accessible.name: qsTrId("Accessibility.ClearText")
            Accessible.onPressAction: bar.clear()
            Text {
                anchors.centerIn: parent
                text: "×"
                color: "white"
                font.pixelSize: 14
                font.bold: true
                font.family: Style.fontFamily
            }
            MouseArea {
                id: clearArea
                anchors.fill: parent
                anchors.margins: -6
                onClicked: bar.clear()
            }
        }
    }

    // Cancel, sliding in from the right edge.
    Rectangle {
        id: cancel
        objectName: "cancelButton"
        readonly property bool shown: bar.control !== null && bar.control.showsCancelButton
        anchors.verticalCenter: parent.verticalCenter
        x: shown ? bar.width - width - 6 : bar.width
        width: cancelLabel.implicitWidth + 20
        height: 30
        radius: 5
        border.color: Style.barLine
        gradient: Gradient {
            GradientStop { position: 0; color: cancelArea.pressed ? Style.barButtonDark : Style.barButtonLight }
            GradientStop { position: 1; color: cancelArea.pressed ? Style.barButtonDarkBottom : Style.barButton }
        }
        // Escape is its key: a focus of its own would end the editing it
        // cancels.
        visible: x < bar.width
        Accessible.role: Accessible.Button
        Accessible.name: cancelLabel.text
        Accessible.onPressAction: bar.control.clickCancelButton()
        Behavior on x {
            NumberAnimation { duration: bar.control ? bar.control.cancelButtonAnimationDuration * 1000 : 0 }
        }
        Text {
            id: cancelLabel
            anchors.centerIn: parent
            text: qsTrId("Cancel")
            textFormat: Text.PlainText
            color: "white"
            font.pixelSize: 12
            font.bold: true
            font.family: Style.fontFamily
        }
        MouseArea {
            id: cancelArea
            anchors.fill: parent
            onClicked: bar.control.clickCancelButton()
        }
    }

    Connections {
        target: bar.control
        // While the bar is swapped for another title view, its control may
        // briefly be that view's.
        ignoreUnknownSignals: true
        function onFirstResponderChanged() { bar.followResponder() }
    }
    Component.onCompleted: followResponder()

    // Erases the text, as typing it away would.
    function clear() {
        control.beginEditing()
        control.editText("")
    }

    function followResponder() {
        if (!control)
            return
        if (control.firstResponder && !field.activeFocus)
            field.forceActiveFocus()
        else if (!control.firstResponder && field.activeFocus)
            field.focus = false
    }
}
