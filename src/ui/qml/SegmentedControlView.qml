pragma ComponentBehavior: Bound

import QtQuick
import WLReader.Kit

// Segments of titles or pictures; the selected one is drawn pressed. Each
// takes the keyboard focus; Space or Enter taps it, Left and Right go to
// the next one. A momentary control's segments are buttons, the others a
// choice of one.
Row {
    id: segments
    property var control
    readonly property real segmentWidth: control && control.frame.width > 0
                                         ? control.frame.width / Math.max(1, control.count)
                                         : 64
    height: control && control.frame.height > 0 ? control.frame.height : 30
    spacing: 0
    Accessible.role: Accessible.Grouping
    Accessible.name: control ? control.accessibilityLabel : ""
    // Without a name of its own the segments stand alone.
    Accessible.ignored: Accessible.name === ""
    Repeater {
        id: items
        model: segments.control ? segments.control.count : 0
        delegate: Rectangle {
            id: segment
            required property int index
            objectName: "segment" + index
            readonly property bool chosen: segments.control.selectedSegmentIndex === segment.index
            readonly property bool selected: chosen || area.pressed
            width: segments.control.images.length > 0 ? segments.segmentWidth
                                                      : Math.max(segments.segmentWidth, label.implicitWidth + 18)
            height: segments.height
            radius: 4
            border.color: Style.barButtonBorder
            gradient: Gradient {
                GradientStop { position: 0; color: segment.selected ? Style.barButtonDark : Style.barButtonLight }
                GradientStop { position: 1; color: segment.selected ? Style.barButtonDarkBottom : Style.barButton }
            }
            activeFocusOnTab: true
            Accessible.role: segments.control.momentary ? Accessible.Button : Accessible.RadioButton
            Accessible.name: segments.control.accessibilityLabels[segment.index] || ""
            Accessible.checkable: !segments.control.momentary
            Accessible.checked: !segments.control.momentary && chosen
            Accessible.focusable: true
            Accessible.onPressAction: segments.control.tapSegment(segment.index)
            Accessible.onToggleAction: segments.control.tapSegment(segment.index)
            Keys.onSpacePressed: segments.control.tapSegment(segment.index)
            Keys.onReturnPressed: segments.control.tapSegment(segment.index)
            Keys.onEnterPressed: segments.control.tapSegment(segment.index)
            Keys.onLeftPressed: segments.focusSegment(segment.index - 1)
            Keys.onRightPressed: segments.focusSegment(segment.index + 1)
            Text {
                id: label
                anchors.centerIn: parent
                visible: segments.control.images.length === 0
                text: segments.control.titles[segment.index] || ""
                textFormat: Text.PlainText
                color: "white"
                font.pixelSize: 12
                font.bold: true
                font.family: Style.fontFamily
            }
            Image {
                anchors.centerIn: parent
                visible: segments.control.images.length > 0
                source: segments.control.images[segment.index] || ""
            }
            MouseArea {
                id: area
                anchors.fill: parent
                onClicked: segments.control.tapSegment(segment.index)
            }
            FocusRing {}
        }
    }
    function focusSegment(index) {
        const item = items.itemAt(index)
        if (item)
            item.forceActiveFocus()
    }
}
