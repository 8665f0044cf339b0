import QtQuick

// Draws a toolkit control by its kind.
Loader {
    id: view
    property var control
    // A limit the container puts on the control's width (-1: none).
    property real maximumWidth: -1
    // What the control is for, where its row names it (a switch).
    property string label
    active: control !== null
    // No size of its own: a loader with one would force it on the control
    // (squeezing it to nothing before it loads); without one it takes the
    // control's size as it changes.
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
    onLoaded: {
        item.control = Qt.binding(() => view.control)
        if (item.maximumWidth !== undefined)
            item.maximumWidth = Qt.binding(() => view.maximumWidth)
        if (item.label !== undefined)
            item.label = Qt.binding(() => view.label)
    }
}
