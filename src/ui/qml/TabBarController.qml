pragma ComponentBehavior: Bound

import QtQuick
import WLReader.Kit

// The tabs: the selected tab's screen above a bar of icons and titles.
// Each tab takes the keyboard focus; Space or Enter chooses it, Left and
// Right go to the next one.
FocusScope {
    id: tabs
    property var controller

    Item {
        id: content
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: bar.top
        clip: true
        Repeater {
            id: slots
            model: tabs.controller ? tabs.controller.viewControllers : []
            delegate: ScreenSlot {
                required property var modelData
                required property int index
                anchors.fill: parent
                screen: modelData
                visible: index === tabs.controller.selectedIndex
                focus: visible
            }
        }
    }

    Rectangle {
        id: bar
        objectName: "tabBar"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 49
        gradient: Gradient {
            GradientStop { position: 0; color: Style.tabTop }
            GradientStop { position: 0.5; color: "#1c1c1c" }
            GradientStop { position: 1; color: Style.tabBottom }
        }
        Accessible.role: Accessible.PageTabList
        Accessible.name: qsTrId("Accessibility.Tabs")
        Row {
            id: row
            anchors.fill: parent
            anchors.margins: 2
            Repeater {
                id: items
                model: tabs.controller ? tabs.controller.tabs : []
                delegate: Item {
                    id: tab
                    required property var modelData
                    required property int index
                    objectName: "tab" + index
                    readonly property bool selected: tabs.controller.selectedIndex === index
                    width: (bar.width - 4) / Math.max(1, tabs.controller.tabs.length)
                    height: bar.height - 4
                    activeFocusOnTab: true
                    Accessible.role: Accessible.PageTab
                    Accessible.name: tab.modelData.title
                    Accessible.selectable: true
                    Accessible.selected: tab.selected
                    Accessible.focusable: true
                    Accessible.onPressAction: tabs.controller.selectTab(tab.index)
                    Keys.onSpacePressed: tabs.controller.selectTab(tab.index)
                    Keys.onReturnPressed: tabs.controller.selectTab(tab.index)
                    Keys.onEnterPressed: tabs.controller.selectTab(tab.index)
                    Keys.onLeftPressed: tabs.focusTab(tab.index - 1)
                    Keys.onRightPressed: tabs.focusTab(tab.index + 1)
                    Rectangle {
                        anchors.fill: parent
                        radius: 3
                        color: "#ffffff"
                        opacity: tab.selected ? 0.12 : 0
                    }
                    Image {
                        anchors.horizontalCenter: parent.horizontalCenter
                        y: 2
                        width: 30
                        height: 30
                        source: tab.selected ? tab.modelData.selectedImage : tab.modelData.image
                    }
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        anchors.bottom: parent.bottom
                        anchors.bottomMargin: 1
                        text: tab.modelData.title
                        textFormat: Text.PlainText
                        color: tab.selected ? Style.tabSelectedText : Style.tabText
                        font.pixelSize: 10
                        font.bold: true
                        font.family: Style.fontFamily
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: tabs.controller.selectTab(tab.index)
                    }
                    FocusRing {
                        anchors.margins: 0
                    }
                }
            }
        }
    }

    // A tab chosen from the bar keeps the focus there; one chosen with
    // Alt+number takes it to its screen.
    Connections {
        target: tabs.controller
        function onSelectedIndexChanged() {
            if (!tabs.barHasFocus())
                focusLater.restart()
        }
    }

    // Once the chosen screen is on show.
    Timer {
        id: focusLater
        interval: 0
        onTriggered: tabs.focusContent()
    }

    function barHasFocus() {
        for (let item = Window.activeFocusItem; item; item = item.parent) {
            if (item === bar)
                return true
        }
        return false
    }
    function focusTab(index) {
        const item = items.itemAt(index)
        if (item)
            item.forceActiveFocus()
    }
    function focusContent() {
        const slot = controller ? slots.itemAt(controller.selectedIndex) : null
        if (slot)
            slot.focusContent()
    }
}
