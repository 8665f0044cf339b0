import QtQuick
import WLReader.Kit

// Shows the view of one screen, made once per screen and kept.
Item {
    id: slot
    property var screen
    property Item view: screen ? Views.viewFor(screen) : null

    onViewChanged: attach()
    Component.onCompleted: attach()

    function attach() {
        if (!view)
            return
        view.parent = slot
        view.anchors.fill = slot
        view.visible = true
    }
}
