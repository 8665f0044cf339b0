import QtQuick

// A picture at its natural size, or in the frame its control gives.
Image {
    property var control
    source: control ? control.image : ""
    width: control && control.frame.width > 0 ? control.frame.width : implicitWidth
    height: control && control.frame.height > 0 ? control.frame.height : implicitHeight
    fillMode: Image.PreserveAspectFit
    Accessible.role: Accessible.Graphic
    Accessible.name: control ? control.accessibilityLabel : ""
    // A picture that says nothing is decoration.
    Accessible.ignored: Accessible.name === ""
}
