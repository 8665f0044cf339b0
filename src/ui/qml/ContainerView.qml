import QtQuick
import WLReader.Kit

// The window's container: shows its content, and flips between the old and
// the new content when the controller asks for a flip. The keyboard focus
// goes to the new content.
FocusScope {
    id: container
    property var container
    property var shown: null

    Flipable {
        id: flip
        anchors.fill: parent
        property real angle: 0
        front: ScreenSlot {
            id: frontSlot
            objectName: "frontSlot"
            anchors.fill: parent
            focus: true
        }
        back: ScreenSlot {
            id: backSlot
            anchors.fill: parent
        }
        transform: Rotation {
            origin.x: flip.width / 2
            origin.y: flip.height / 2
            axis.x: 0
            axis.y: 1
            axis.z: 0
            angle: flip.angle
        }
        NumberAnimation {
            id: turn
            target: flip
            property: "angle"
            easing.type: Easing.InOutQuad
            onFinished: {
                frontSlot.screen = backSlot.screen
                backSlot.screen = null
                flip.angle = 0
                container.focusContent()
            }
        }
    }

    Connections {
        target: container.container
        function onContentChanged() { container.show() }
    }
    Component.onCompleted: show()
    // Another dictionary opened: its container, shown at once.
    onContainerChanged: {
        frontSlot.screen = null
        show()
    }

    function show() {
        const content = container.container ? container.container.content : null
        if (!container.container || container.container.transition === 0 || frontSlot.screen === null) {
            turn.stop()
            flip.angle = 0
            backSlot.screen = null
            const changed = frontSlot.screen !== content
            frontSlot.screen = content
            if (changed)
                container.focusContent()
            return
        }
        backSlot.screen = content
        turn.from = 0
        turn.to = container.container.transition === 1 ? 180 : -180
        turn.duration = container.container.transitionDuration * 1000
        turn.restart()
    }

    function focusContent() { frontSlot.focusContent() }
}
