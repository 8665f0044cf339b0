import QtQuick
import WLReader.Kit

// The bar of a navigation stack: the top screen's title or title view, its
// left item or the way back, and its right item. A screen with a bar of
// its own sets the item instead of a stack. The keyboard goes through its
// items from left to right.
Rectangle {
    id: bar
    Accessible.role: Accessible.ToolBar
    Accessible.name: bar.navItem ? bar.navItem.title : ""
    property var navigation
    readonly property var topScreen: navigation ? navigation.topViewController : null
    property var navItem: topScreen ? topScreen.navigationItem : null
    height: 44
    gradient: Gradient {
        GradientStop { position: 0; color: Style.barTop }
        GradientStop { position: 0.5; color: Style.barMiddle }
        GradientStop { position: 1; color: Style.barBottom }
    }
    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: Style.barLine
    }

    Item {
        id: left
        anchors.left: parent.left
        anchors.leftMargin: 5
        anchors.verticalCenter: parent.verticalCenter
        width: childrenRect.width
        height: 30
        BarButton {
            id: leftButton
            anchors.verticalCenter: parent.verticalCenter
            visible: bar.navItem !== null && bar.navItem.leftBarButtonItem !== null
            item: bar.navItem ? bar.navItem.leftBarButtonItem : null
        }
        BackButton {
            id: backButton
            objectName: "backButton"
            anchors.verticalCenter: parent.verticalCenter
            visible: bar.navItem !== null && bar.navItem.leftBarButtonItem === null && !!bar.navigation && bar.navigation.backButtonTitle !== ""
            title: bar.navigation ? bar.navigation.backButtonTitle : ""
            onClicked: bar.navigation.goBack()
        }
    }

    // A title view (a search field, a segmented control) takes the frame its
    // control asks for, fitted between the items as the phone's bar does; a
    // title is centred between the items.
    ControlView {
        id: titleView
        readonly property bool framed: control !== null && control.frame.width > 0
        readonly property real leftEdge: leftButton.visible ? left.x + leftButton.width + 5
                                         : backButton.visible ? left.x + backButton.width + 5 : 0
        readonly property real rightEdge: rightButton.visible ? right.x + right.width - rightButton.width - 5
                                          : bar.width
        visible: control !== null
        control: bar.navItem ? bar.navItem.titleView : null
        // The phone centres a segmented control in the bar, whatever its x.
        x: framed ? (control.kind === "SegmentedControl" ? (bar.width - control.frame.width) / 2
                                                         : Math.max(control.frame.x, leftEdge))
                  : (bar.width - width) / 2
        y: control && control.frame.height > 0 ? control.frame.y : (bar.height - height) / 2
        maximumWidth: framed ? Math.max(0, Math.min(control.frame.x + control.frame.width, rightEdge) - x) : -1
        z: 1
        Behavior on x {
            NumberAnimation { duration: titleView.control ? titleView.control.animationDuration * 1000 : 0 }
        }
    }
    Text {
        visible: bar.navItem !== null && bar.navItem.titleView === null
        Accessible.role: Accessible.Heading
        Accessible.name: text
        anchors.verticalCenter: parent.verticalCenter
        x: Math.max(left.x + left.width + 8, Math.min((bar.width - width) / 2, right.x - 8 - width))
        width: Math.min(implicitWidth, Math.max(0, right.x - left.x - left.width - 16))
        text: bar.navItem ? bar.navItem.title : ""
        textFormat: Text.PlainText
        elide: Text.ElideRight
        color: "white"
        style: Text.Raised
        styleColor: Style.titleShadow
        font.pixelSize: 20
        font.bold: true
        font.family: Style.fontFamily
    }

    Item {
        id: right
        anchors.right: parent.right
        anchors.rightMargin: 5
        anchors.verticalCenter: parent.verticalCenter
        width: childrenRect.width
        height: 30
        BarButton {
            id: rightButton
            anchors.verticalCenter: parent.verticalCenter
            visible: item !== null
            item: bar.navItem ? bar.navItem.rightBarButtonItem : null
        }
    }
}
