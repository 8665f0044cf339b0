pragma Singleton
import QtQuick

// The phone's look: bar gradients, list colours, type sizes.
QtObject {
    readonly property color barTop: "#b3c0d1"
    readonly property color barMiddle: "#8a9fbb"
    readonly property color barBottom: "#6d84a2"
    readonly property color barLine: "#2d3642"
    readonly property color barButton: "#5a7398"
    readonly property color barButtonDark: "#3b5478"
    readonly property color doneButton: "#2c6fd6"
    readonly property color tabTop: "#3b3b3b"
    readonly property color tabBottom: "#0b0b0b"
    readonly property color tabText: "#9a9a9a"
    readonly property color tabSelectedText: "#ffffff"
    readonly property color separator: "#e0e0e0"
    readonly property color selectionTop: "#058cf5"
    readonly property color selectionBottom: "#015fe6"
    readonly property color sectionTop: "#a5b1ba"
    readonly property color sectionBottom: "#b8c1c8"
    readonly property color groupedBackground: "#c5ccd4"
    readonly property color deleteRed: "#e0312a"
    // The keyboard focus.
    readonly property color focusRing: "#0a4fc4"
    readonly property int fontSize: 17
    readonly property string fontFamily: "DejaVu Sans"
}
