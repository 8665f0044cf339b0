import QtQuick
import WLReader.Kit

// The settings: a grouped table in sections, each row showing a name (and
// a second line) at the left and a control or a check mark at the right,
// placed by the row's layout. In editing mode the rows that can go show a
// red mark; what a tap means is the controller's. The controls and the rows
// that do something take the keyboard focus; the first has it when the
// screen comes.
FocusScope {
    id: screen
    property var controller
    readonly property var table: controller ? controller.tableView : null
    Rectangle {
        anchors.fill: parent
        color: Style.groupedBackground
    }
    function focusContent() {
        const first = list.itemAtIndex(0)
        if (first && first.activeFocusOnTab)
            first.forceActiveFocus()
        else if (first)
            first.nextItemInFocusChain(true).forceActiveFocus()
        else
            forceActiveFocus()
    }

    TableListView {
        id: list
        objectName: "settingsList"
        controller: screen.controller
        table: screen.table
        anchors.fill: parent
        anchors.topMargin: 20
        interactive: screen.table ? screen.table.scrollEnabled : false
        clip: true
        Accessible.role: Accessible.List
        Accessible.name: screen.controller ? screen.controller.title : ""
        model: screen.table ? screen.table.model : null
        section.property: "section"
        section.criteria: ViewSection.FullString
        section.delegate: Item {
            required property string section
            readonly property var table: (ListView.view as TableListView).table
            readonly property string title: table ? table.titleForSection(Number(section)) : ""
            width: ListView.view.width
            height: title !== "" ? 36 : (Number(section) > 0 ? 16 : 0)
            Text {
                visible: parent.title !== ""
                x: 20
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 6
                text: parent.title
                textFormat: Text.PlainText
                color: Style.dark ? Style.secondaryText : "#4c566c"
                style: Style.dark ? Text.Normal : Text.Raised
                styleColor: "white"
                font.pixelSize: 17
                font.bold: true
                font.family: Style.fontFamily
            }
        }
        delegate: Item {
            id: row
            required property var model
            required property int index
            readonly property TableListView list: ListView.view as TableListView
            readonly property bool tappable: !row.model.view && row.model.selectionStyle !== 0
            width: ListView.view.width
            height: row.list.table ? row.list.table.rowHeight : 44
            // A row that does something on a tap is a button for the
            // keyboard and a screen reader; a row with a control leaves
            // both to the control.
            activeFocusOnTab: tappable
            Keys.onReturnPressed: row.list.table.tapRow(row.index)
            Keys.onEnterPressed: row.list.table.tapRow(row.index)
            Keys.onSpacePressed: row.list.table.tapRow(row.index)
            Accessible.role: Accessible.Button
            Accessible.ignored: !tappable
            Accessible.name: (row.model.text || "") + (row.model.detailText ? ", " + row.model.detailText : "")
            Accessible.checkable: row.model.accessoryType === 3
            Accessible.checked: row.model.accessoryType === 3
            Accessible.onPressAction: row.list.table.tapRow(row.index)

            Rectangle {
                id: content
                x: 10
                width: row.width - 20
                height: row.height
                radius: 9
                color: tap.pressed ? Style.selectionTop : Style.background
                border.color: Style.groupBorder

                WLDisplayCell {
                    id: layout
                    contentBounds: Qt.rect(0, 0, content.width, content.height)
                    view: row.model.view
                }
                // The phone's red mark of a row that can go.
                Rectangle {
                    id: removable
                    visible: row.list.controller && row.list.controller.editing && row.model.editable
                    x: 10
                    anchors.verticalCenter: parent.verticalCenter
                    width: 20
                    height: 20
                    radius: 10
                    color: Style.deleteRed
                    Rectangle {
                        anchors.centerIn: parent
                        width: 10
                        height: 3
                        color: "white"
                    }
                }
                Column {
                    x: layout.nameLabelFrame.x + (removable.visible ? 26 : 0)
                    anchors.verticalCenter: parent.verticalCenter
                    width: layout.nameLabelFrame.width - (removable.visible ? 26 : 0)
                             - (check.visible ? 24 : 0)
                    Text {
                        width: parent.width
                        text: row.model.text || ""
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        color: tap.pressed ? "white" : Style.text
                        font.pixelSize: layout.nameFontSize
                        font.bold: true
                        font.family: Style.fontFamily
                    }
                    Text {
                        visible: text !== ""
                        width: parent.width
                        text: row.model.detailText || ""
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        color: tap.pressed ? "white" : Style.secondaryText
                        font.pixelSize: 12
                        font.family: Style.fontFamily
                    }
                }
                Text {
                    id: check
                    visible: row.model.accessoryType === 3
                    anchors.right: parent.right
                    anchors.rightMargin: 14
                    anchors.verticalCenter: parent.verticalCenter
                    text: "\u2713"
                    color: tap.pressed ? "white" : Style.focusRing
                    font.pixelSize: 20
                    font.bold: true
                }
                ControlView {
                    control: row.model.view
                    label: row.model.text || ""
                    x: control ? control.frame.x : 0
                    y: control ? control.frame.y : 0
                }
                MouseArea {
                    id: tap
                    anchors.fill: parent
                    enabled: row.tappable
                    onClicked: row.list.table.tapRow(row.index)
                }
            }
            FocusRing {
                anchors.fill: content
                radius: 10
            }
        }
    }
}
