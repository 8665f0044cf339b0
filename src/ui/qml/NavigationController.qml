import QtQuick
import QtQuick.Controls.Basic
import WLReader.Kit

// A navigation stack: its bar over the top screen, screens sliding in and
// out as the controller pushes and pops them. A screen pushed or uncovered
// takes the keyboard focus when it was in this stack.
FocusScope {
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
        function onStackChanged() {
            const hadFocus = navigation.holdsFocus()
            navigation.mirror()
            if (hadFocus)
                navigation.focusContent()
        }
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

    function holdsFocus() {
        const focused = Window.activeFocusItem
        if (!focused || focused === Window.contentItem)
            return visible
        for (let item = focused; item; item = item.parent) {
            if (item === navigation)
                return true
        }
        return false
    }
    function focusContent() {
        const top = controller ? controller.topViewController : null
        const view = top ? Views.viewFor(top) : null
        if (!view)
            return
        if (typeof view.focusContent === "function")
            view.focusContent()
        else
            view.forceActiveFocus()
    }
}
