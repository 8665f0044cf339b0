pragma Singleton
import QtQuick
import WLReader.Kit

// The phone's look: bar gradients, list colours, type sizes; a dark set
// when the desktop prefers it (ColorScheme).
QtObject {
    readonly property bool dark: ColorScheme.dark
    readonly property color barTop: dark ? "#4a4f57" : "#b3c0d1"
    readonly property color barMiddle: dark ? "#33373d" : "#8a9fbb"
    readonly property color barBottom: dark ? "#24272c" : "#6d84a2"
    readonly property color barLine: dark ? "#000000" : "#2d3642"
    readonly property color barButton: dark ? "#3a3f47" : "#5a7398"
    readonly property color barButtonLight: dark ? "#5b616b" : "#8ea3c0"
    readonly property color barButtonDark: dark ? "#22252a" : "#3b5478"
    readonly property color barButtonDarkBottom: dark ? "#16181b" : "#2c4060"
    readonly property color barButtonBorder: dark ? "#0c0d0f" : "#34465f"
    readonly property color titleShadow: dark ? "#000000" : "#3b4e68"
    readonly property color doneButton: "#2c6fd6"
    readonly property color tabTop: dark ? "#2a2a2a" : "#3b3b3b"
    readonly property color tabBottom: "#0b0b0b"
    readonly property color tabText: "#9a9a9a"
    readonly property color tabSelectedText: "#ffffff"
    readonly property color separator: dark ? "#3a3a3c" : "#e0e0e0"
    readonly property color selectionTop: "#058cf5"
    readonly property color selectionBottom: "#015fe6"
    readonly property color sectionTop: dark ? "#3d444b" : "#a5b1ba"
    readonly property color sectionBottom: dark ? "#353b41" : "#b8c1c8"
    readonly property color sectionShadow: dark ? "#000000" : "#6f7a85"
    readonly property color groupedBackground: dark ? "#111214" : "#c5ccd4"
    readonly property color groupBorder: dark ? "#3a3a3c" : "#a8acb2"
    // Lists, rows and fields.
    readonly property color background: dark ? "#1c1c1e" : "#ffffff"
    readonly property color text: dark ? "#f2f2f7" : "#000000"
    readonly property color secondaryText: dark ? "#aeaeb2" : "#444444"
    readonly property color fieldBackground: dark ? "#2c2c2e" : "#ffffff"
    readonly property color fieldText: dark ? "#f2f2f7" : "#000000"
    readonly property color indexText: dark ? "#c7ccd1" : "#56606b"
    readonly property color switchOff: dark ? "#3a3a3c" : "#eeeeee"
    readonly property color switchOffText: dark ? "#c7c7cc" : "#7a7a7a"
    readonly property color deleteRed: "#e0312a"
    // The keyboard focus: seen on the light and the dark set alike.
    readonly property color focusRing: dark ? "#6cb4ff" : "#0a4fc4"
    readonly property int fontSize: 17
    readonly property string fontFamily: "DejaVu Sans"
}
