import QtQuick
import WLReader.Kit

// A modal screen over the whole window, sliding up from the bottom. It
// takes the keyboard focus while it is there.
FocusScope {
    id: sheet
    property var controller
    property bool animated: true
    width: parent ? parent.width : 0
    height: parent ? parent.height : 0
    z: 10

    // An alert or a progress box leaves what is under it in sight.
    readonly property bool overlay: controller ? controller.overlaysContent : false
    Rectangle {
        anchors.fill: parent
        visible: !sheet.overlay
        color: Style.background
        y: 0
    }
    ScreenSlot {
        id: slot
        anchors.fill: parent
        screen: sheet.controller
        focus: true
    }
    transform: Translate {
        id: shift
        y: 0
    }
    Component.onCompleted: {
        if (animated && !overlay)
            arrival.start()
    }
    function focusContent() { slot.focusContent() }
    NumberAnimation {
        id: arrival
        target: shift
        property: "y"
        from: sheet.height
        to: 0
        duration: 300
        easing.type: Easing.OutCubic
    }
}
