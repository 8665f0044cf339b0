import QtQuick
import WLReader.Kit

// A box over the window while something long runs: what it is, the step,
// a bar and Cancel.
FocusScope {
    id: screen
    property var controller
    readonly property real fraction: controller ? controller.fraction : -1

    function focusContent() { cancelButton.forceActiveFocus() }

    Rectangle {
        anchors.fill: parent
        color: "#80000000"
        MouseArea { anchors.fill: parent }
    }
    Rectangle {
        id: box
        objectName: "progress"
        anchors.centerIn: parent
        width: Math.min(parent.width - 40, 300)
        height: column.height + 32
        radius: 12
        color: Style.dark ? "#2c2c2e" : "#f2f3f7"
        border.color: Style.dark ? "#48484a" : "#8a9fbb"
        Accessible.role: Accessible.Dialog
        Accessible.name: screen.controller ? screen.controller.title : ""

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
                elide: Text.ElideMiddle
                text: screen.controller ? screen.controller.step : ""
                textFormat: Text.PlainText
                color: Style.secondaryText
                font.pixelSize: 13
                font.family: Style.fontFamily
            }
            Rectangle {
                id: track
                objectName: "progressBar"
                width: parent.width
                height: 8
                radius: 4
                color: Style.dark ? "#48484a" : "#d1d5db"
                clip: true
                Accessible.role: Accessible.ProgressBar
                Accessible.name: screen.controller ? screen.controller.step : ""
                Rectangle {
                    id: bar
                    objectName: "progressFill"
                    height: parent.height
                    radius: 4
                    color: Style.doneButton
                    width: screen.fraction >= 0 ? parent.width * screen.fraction : parent.width / 4
                    // Not known how much: a piece that goes to and fro, over
                    // the track as wide as it is by then (the box is sized
                    // after it is made). Known: the bar fills from the left.
                    property real sweep
                    x: screen.fraction >= 0 ? 0 : sweep * track.width * 3 / 4
                    SequentialAnimation on sweep {
                        running: screen.fraction < 0
                        loops: Animation.Infinite
                        NumberAnimation { from: 0; to: 1; duration: 900 }
                        NumberAnimation { from: 1; to: 0; duration: 900 }
                    }
                }
            }
            Rectangle {
                id: cancelButton
                objectName: "progressCancel"
                width: parent.width
                height: 40
                radius: 8
                enabled: screen.controller && !screen.controller.cancelling
                opacity: enabled ? 1 : 0.5
                color: cancelPress.pressed ? Style.barButtonDark : Style.barButton
                focus: true
                activeFocusOnTab: true
                Keys.onSpacePressed: screen.controller.cancel()
                Keys.onReturnPressed: screen.controller.cancel()
                Accessible.role: Accessible.Button
                Accessible.name: qsTrId("Cancel")
                Accessible.onPressAction: screen.controller.cancel()
                Text {
                    anchors.centerIn: parent
                    text: qsTrId("Cancel")
                    textFormat: Text.PlainText
                    color: "white"
                    font.pixelSize: 15
                    font.family: Style.fontFamily
                }
                MouseArea {
                    id: cancelPress
                    anchors.fill: parent
                    onClicked: screen.controller.cancel()
                }
                FocusRing {
                    radius: 10
                }
            }
        }
    }
}
