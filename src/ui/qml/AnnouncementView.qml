import QtQuick
import WLReader.Kit

// Says each announcement: a notification whose name is the message, shown
// anew every time, which is when screen readers speak one. One point in the
// corner, under everything.
Item {
    id: view
    objectName: "announcement"
    width: 1
    height: 1
    z: -1
    visible: false
    Accessible.role: Accessible.Notification
    Accessible.name: Announcements.message
    Connections {
        target: Announcements
        function onSerialChanged() {
            view.visible = false
            view.visible = true
        }
    }
}
