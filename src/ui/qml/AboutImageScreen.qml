import QtQuick
import WLReader.Kit

// The About screen: its picture filling the area under the bar.
Rectangle {
    id: screen
    property var controller
    color: "#0f1d33"

    Image {
        objectName: "aboutImage"
        anchors.fill: parent
        source: screen.controller && screen.controller.imageView ? screen.controller.imageView.image : ""
        fillMode: Image.PreserveAspectCrop
    }
}
