import QtQuick
import WLReader.Kit

// The letters at the right edge; a tap or a drag over them jumps to the
// section of the letter under the finger.
Item {
    id: strip
    property var titles: []
    signal activated(int entry)
    width: 22

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
                width: strip.width
                height: Math.min(16, (strip.height - 8) / Math.max(1, strip.titles.length))
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                text: modelData
                textFormat: Text.PlainText
                color: "#56606b"
                font.pixelSize: Math.min(12, height)
                font.bold: true
                font.family: Style.fontFamily
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
                strip.activated(entry)
            }
        }
    }
}
