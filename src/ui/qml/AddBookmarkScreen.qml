import QtQuick
import WLReader.Kit

// The bookmark editor: its own bar over a grouped table of two rows, the
// word and the note field, in the heights its controller gives. A dialog
// to a screen reader; the keyboard goes through the bar's buttons and the
// note field.
FocusScope {
    id: screen
    property var controller
    readonly property var table: controller ? controller.tableView : null
    Accessible.role: Accessible.Dialog
    Accessible.name: controller && controller.barItem ? controller.barItem.title : ""

    Rectangle {
        anchors.fill: parent
        color: Style.groupedBackground
    }
    NavigationBar {
        id: bar
        objectName: "editorBar"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        navItem: screen.controller ? screen.controller.barItem : null
        z: 2
    }

    Rectangle {
        id: group
        x: 10
        y: bar.height + 10
        width: screen.width - 20
        height: rows.height
        radius: 8
        color: Style.background
        border.color: Style.groupBorder
        clip: true

        Column {
            id: rows
            width: group.width
            Repeater {
                model: screen.table ? screen.table.model : null
                // Qt 6.4's Loader cannot make a bound component (pragma
                // ComponentBehavior: Bound), so what a row names around it is out
                // of qmllint's reach.
                // qmllint disable unqualified
                delegate: Item {
                    id: row
                    required property int index
                    required property string reuseIdentifier
                    required property string text
                    readonly property bool notes: reuseIdentifier === "KXAddBookmarkNotesCell"
                    width: rows.width
                    height: screen.controller ? screen.controller.heightForRow(0, index) : 0

                    Rectangle {
                        visible: row.index > 0
                        width: parent.width
                        height: 1
                        color: Style.groupBorder
                    }
                    Text {
                        objectName: "wordLabel"
                        visible: !row.notes
                        x: 10
                        width: parent.width - 20
                        height: parent.height
                        verticalAlignment: Text.AlignVCenter
                        text: row.text
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        color: Style.text
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        font.pixelSize: 20
                        font.bold: true
                        font.family: Style.fontFamily
                    }
                    // Only the note row hosts the text view.
                    Loader {
                        anchors.fill: parent
                        active: row.notes
                        sourceComponent: Item {
                            id: content
                            Binding {
                                when: screen.controller && screen.controller.notesCell
                                target: screen.controller ? screen.controller.notesCell : null
                                property: "contentBounds"
                                value: Qt.rect(0, 0, content.width, content.height)
                            }
                            TextViewItem {
                                objectName: "notesTextView"
                                focusAfterEditing: screen
                                control: screen.controller && screen.controller.notesCell
                                         ? screen.controller.notesCell.textView : null
                            }
                        }
                    }
                }
                // qmllint enable unqualified
            }
        }
    }
}
