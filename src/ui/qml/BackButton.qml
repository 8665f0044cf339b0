import QtQuick
import WLReader.Kit

// The way back: a button with a pointed left edge, titled after the screen
// below.
Item {
    id: button
    property string title
    signal clicked()
    width: Math.min(label.implicitWidth + 24, 130)
    height: 30
    activeFocusOnTab: visible
    Accessible.role: Accessible.Button
    Accessible.ignored: !visible
    Accessible.name: qsTrId("Accessibility.BackTo").arg(title)
    Accessible.focusable: true
    Accessible.onPressAction: button.clicked()
    Keys.onSpacePressed: button.clicked()
    Keys.onReturnPressed: button.clicked()
    Keys.onEnterPressed: button.clicked()

    Canvas {
        id: shape
        anchors.fill: parent
        property bool pressed: area.pressed
        property bool dark: Style.dark
        onPressedChanged: requestPaint()
        onDarkChanged: requestPaint()
        onWidthChanged: requestPaint()
        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            const w = width - 0.5, h = height - 0.5, r = 5
            ctx.beginPath()
            ctx.moveTo(0.5, h / 2)
            ctx.lineTo(12, 0.5)
            ctx.lineTo(w - r, 0.5)
            ctx.quadraticCurveTo(w, 0.5, w, r)
            ctx.lineTo(w, h - r)
            ctx.quadraticCurveTo(w, h, w - r, h)
            ctx.lineTo(12, h)
            ctx.closePath()
            const fill = ctx.createLinearGradient(0, 0, 0, height)
            fill.addColorStop(0, pressed ? Style.barButtonDark : Style.barButtonLight)
            fill.addColorStop(1, pressed ? Style.barButtonDarkBottom : Style.barButton)
            ctx.fillStyle = fill
            ctx.fill()
            ctx.strokeStyle = Style.barButtonBorder
            ctx.lineWidth = 1
            ctx.stroke()
        }
    }
    Text {
        id: label
        anchors.verticalCenter: parent.verticalCenter
        x: 14
        width: button.width - 20
        text: button.title
        textFormat: Text.PlainText
        elide: Text.ElideRight
        color: "white"
        font.pixelSize: 12
        font.bold: true
        font.family: Style.fontFamily
    }
    MouseArea {
        id: area
        anchors.fill: parent
        onClicked: button.clicked()
    }
    FocusRing {}
}
