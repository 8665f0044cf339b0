import QtQuick
import QtQuick.Controls.Basic
import WLReader.Kit

// A navigation stack: its bar over the top screen, screens sliding in and
// out as the controller pushes and pops them.
Item {
    id: navigation
    property var controller

    NavigationBar {
        id: bar
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        navigation: navigation.controller
        z: 2
    }

    StackView {
        id: stack
        anchors.top: bar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
    }

    Connections {
        target: navigation.controller
        function onStackChanged() { navigation.mirror() }
    }
    Component.onCompleted: mirror()

    // Makes the view's stack the controller's: pops what left it, pushes
    // what joined it.
    function mirror() {
        if (!controller)
            return
        const screens = controller.viewControllers
        const animated = controller.lastChangeAnimated
        let kept = 0
        while (kept < stack.depth && kept < screens.length
               && stack.get(kept, StackView.DontLoad) === Views.viewFor(screens[kept]))
            ++kept
        if (stack.depth > kept) {
            const operation = animated && kept > 0 && screens.length === kept ? StackView.PopTransition : StackView.Immediate
            if (kept === 0)
                stack.clear(StackView.Immediate)
            else
                stack.pop(stack.get(kept - 1, StackView.DontLoad), operation)
        }
        for (let i = kept; i < screens.length; ++i) {
            const view = Views.viewFor(screens[i])
            if (!view)
                continue
            view.visible = true
            stack.push(view, {}, animated && i === screens.length - 1 && stack.depth > 0 ? StackView.PushTransition : StackView.Immediate)
        }
    }
}
