import QtQuick
import WLReader.Kit

// The settings: a grouped table whose rows show a name at the left and a
// control at the right, placed by the row's layout. The controls take the
// keyboard focus; the first has it when the screen comes.
FocusScope {
    id: screen
    property var controller
    readonly property var table: controller ? controller.tableView : null
    Rectangle {
        anchors.fill: parent
        color: Style.groupedBackground
    }
    function focusContent() {
        const control = list.itemAtIndex(0)
        if (control)
            control.nextItemInFocusChain(true).forceActiveFocus()
        else
            forceActiveFocus()
    }

    ListView {
        id: list
        objectName: "settingsList"
        readonly property real rowHeight: screen.table ? screen.table.rowHeight : 44
        anchors.fill: parent
        anchors.topMargin: 20
        interactive: screen.table ? screen.table.scrollEnabled : false
        Accessible.role: Accessible.List
        Accessible.name: screen.controller ? screen.controller.title : ""
        model: screen.table ? screen.table.model : null
        delegate: Item {
            id: row
            required property var model
            width: ListView.view.width
            height: ListView.view.rowHeight

            Rectangle {
                id: content
                x: 10
                width: row.width - 20
                height: row.height
                radius: 9
                color: Style.background
                border.color: Style.groupBorder

                WLDisplayCell {
                    id: layout
                    contentBounds: Qt.rect(0, 0, content.width, content.height)
                    view: row.model.view
                }
                Text {
                    x: layout.nameLabelFrame.x
                    y: layout.nameLabelFrame.y
                    width: layout.nameLabelFrame.width
                    height: layout.nameLabelFrame.height
                    verticalAlignment: Text.AlignVCenter
                    text: row.model.text || ""
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    color: Style.text
                    font.pixelSize: layout.nameFontSize
                    font.bold: true
                    font.family: Style.fontFamily
                }
                ControlView {
                    control: row.model.view
                    label: row.model.text || ""
                    x: control ? control.frame.x : 0
                    y: control ? control.frame.y : 0
                }
            }
        }
    }
}
