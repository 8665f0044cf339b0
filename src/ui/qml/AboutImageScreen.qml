import QtQuick
import WLReader.Kit

// The About screen: its picture filling the area under the bar.
Rectangle {
    id: screen
    property var controller
    color: "#0f1d33"

    Image {
        objectName: "aboutImage"
        Accessible.role: Accessible.Graphic
        Accessible.name: App.title
        anchors.fill: parent
        source: screen.controller && screen.controller.imageView ? screen.controller.imageView.image : ""
        fillMode: Image.PreserveAspectCrop
    }
}
