pragma ComponentBehavior: Bound

import QtQuick
import WLReader.Kit

// The letters at the right edge; a tap or a drag over them jumps to the
// section of the letter under the finger. From the keyboard, Up and Down
// (Home, End) go from letter to letter, jumping as they go.
Item {
    id: strip
    property var titles: []
    // The letter last jumped to from the keyboard.
    property int current: 0
    signal activated(int entry)
    width: 22
    activeFocusOnTab: visible
    Accessible.role: Accessible.List
    Accessible.name: qsTrId("Accessibility.SectionIndex")
    Accessible.focusable: true

    Keys.onUpPressed: jump(current - 1)
    Keys.onDownPressed: jump(current + 1)
    Keys.onPressed: function(event) {
        if (event.key === Qt.Key_Home)
            jump(0)
        else if (event.key === Qt.Key_End)
            jump(titles.length - 1)
        else
            event.accepted = false
    }
    Keys.onReturnPressed: jump(current)
    Keys.onEnterPressed: jump(current)
    Keys.onSpacePressed: jump(current)
    function jump(entry) {
        if (titles.length === 0)
            return
        current = Math.max(0, Math.min(titles.length - 1, entry))
        activated(current)
    }

    Rectangle {
        anchors.fill: parent
        radius: 10
        color: "#808080"
        opacity: area.pressed ? 0.35 : 0
    }
    Column {
        id: letters
        anchors.centerIn: parent
        Repeater {
            model: strip.titles
            delegate: Text {
                id: letter
                required property string modelData
                required property int index
                width: strip.width
                height: Math.min(16, (strip.height - 8) / Math.max(1, strip.titles.length))
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                text: letter.modelData
                textFormat: Text.PlainText
                color: Style.indexText
                font.pixelSize: Math.min(12, height)
                font.bold: true
                font.family: Style.fontFamily
                Accessible.role: Accessible.ListItem
                Accessible.name: letter.modelData
                Accessible.selectable: true
                Accessible.selected: strip.activeFocus && strip.current === letter.index
                Accessible.onPressAction: strip.jump(letter.index)
                // The letter the keyboard is on.
                Rectangle {
                    anchors.fill: parent
                    visible: strip.activeFocus && strip.current === letter.index && InputMode.keyboard
                    color: "transparent"
                    radius: 3
                    border.width: 2
                    border.color: Style.focusRing
                }
            }
        }
    }
    MouseArea {
        id: area
        anchors.fill: parent
        property int last: -1
        onPressed: function(mouse) { last = -1; pick(mouse.y) }
        onPositionChanged: function(mouse) { pick(mouse.y) }
        function pick(y) {
            if (strip.titles.length === 0)
                return
            const step = letters.height / strip.titles.length
            const entry = Math.max(0, Math.min(strip.titles.length - 1, Math.floor((y - letters.y) / step)))
            if (entry !== last) {
                last = entry
                strip.current = entry
                strip.activated(entry)
            }
        }
    }
}
