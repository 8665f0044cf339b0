import QtQuick
import WLReader.Kit

// Segments of titles or pictures; the selected one is drawn pressed.
Row {
    id: segments
    property var control
    readonly property real segmentWidth: control && control.frame.width > 0
                                         ? control.frame.width / Math.max(1, control.count)
                                         : 64
    height: control && control.frame.height > 0 ? control.frame.height : 30
    spacing: 0
    Repeater {
        model: segments.control ? segments.control.count : 0
        delegate: Rectangle {
            objectName: "segment" + index
            readonly property bool selected: segments.control.selectedSegmentIndex === index || area.pressed
            width: segments.control.images.length > 0 ? segments.segmentWidth
                                                      : Math.max(segments.segmentWidth, label.implicitWidth + 18)
            height: segments.height
            radius: 4
            border.color: "#34465f"
            gradient: Gradient {
                GradientStop { position: 0; color: selected ? Style.barButtonDark : "#9fb2cc" }
                GradientStop { position: 1; color: selected ? "#2c4060" : Style.barButton }
            }
            Text {
                id: label
                anchors.centerIn: parent
                visible: segments.control.images.length === 0
                text: segments.control.titles[index] || ""
                textFormat: Text.PlainText
                color: "white"
                font.pixelSize: 12
                font.bold: true
                font.family: Style.fontFamily
            }
            Image {
                anchors.centerIn: parent
                visible: segments.control.images.length > 0
                source: segments.control.images[index] || ""
            }
            MouseArea {
                id: area
                anchors.fill: parent
                onClicked: segments.control.tapSegment(index)
            }
        }
    }
}
