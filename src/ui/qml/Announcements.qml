pragma Singleton
import QtQml

// What the screen reader is to say now (a new entry, the count of search
// results); AnnouncementView in the window says it.
QtObject {
    property string message
    property int serial: 0
    function announce(text) {
        if (text === "")
            return
        message = text
        ++serial
    }
}
