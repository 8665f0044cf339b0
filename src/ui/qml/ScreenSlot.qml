import QtQuick
import WLReader.Kit

// Shows the view of one screen, made once per screen and kept.
FocusScope {
    id: slot
    property var screen
    property Item view: screen ? Views.viewFor(screen) : null

    // The view shown before: hidden when another takes its place, so that
    // neither the keyboard nor a screen reader finds it behind.
    property Item shown: null

    onViewChanged: attach()
    Component.onCompleted: attach()

    function attach() {
        if (shown && shown !== view && shown.parent === slot)
            shown.visible = false
        shown = view
        if (!view)
            return
        view.parent = slot
        view.anchors.fill = slot
        view.visible = true
        view.focus = true
    }

    // The keyboard focus to the screen's own first place (its list, its
    // page), or into the container it is.
    function focusContent() {
        if (view)
            focusInto(view)
    }
    // Views differ by kind: only some have a first place of their own.
    function focusInto(item) {
        if (typeof item.focusContent === "function")
            item.focusContent()
        else
            item.forceActiveFocus()
    }
}
