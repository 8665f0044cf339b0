import QtQuick
import WLReader.Kit

// Draws a toolkit control by its kind.
Loader {
    id: view
    property var control
    active: control !== null
    width: item ? item.width : 0
    height: item ? item.height : 0
    source: {
        if (!control)
            return ""
        switch (control.kind) {
        case "Button": return "InfoButton.qml"
        case "ImageView": return "ImageItem.qml"
        case "SegmentedControl": return "SegmentedControlView.qml"
        case "Switch": return "SwitchView.qml"
        case "SearchBar": return "SearchBarView.qml"
        default: return ""
        }
    }
    onLoaded: item.control = Qt.binding(() => view.control)
}
