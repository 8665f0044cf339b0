import QtQuick
import WLReader.Kit

// A section's title bar; sections without a title have none.
Rectangle {
    property string title
    height: title !== "" ? 22 : 0
    visible: title !== ""
    opacity: 0.94
    gradient: Gradient {
        GradientStop { position: 0; color: Style.sectionTop }
        GradientStop { position: 1; color: Style.sectionBottom }
    }
    Accessible.role: Accessible.Heading
    Accessible.name: title
    Text {
        anchors.verticalCenter: parent.verticalCenter
        x: 12
        text: parent.title
        textFormat: Text.PlainText
        color: "white"
        style: Text.Raised
        styleColor: Style.sectionShadow
        font.pixelSize: 17
        font.bold: true
        font.family: Style.fontFamily
    }
}
