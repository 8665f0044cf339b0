import QtQuick
import WLReader.Kit

// One row: the word (and for bookmarks with a note, the note under it),
// highlighted while selected; in editing mode a delete control at the left.
// It has the keyboard focus while it is its list's current row.
Item {
    id: cell
    // The row's place and its roles, from the list.
    required property int index
    required property var model
    property var table
    readonly property string word: cell.model.text || ""
    readonly property bool selected: table !== null && table.selectedRow === index
    readonly property bool editing: table !== null && table.editing && table.canEditRows
    readonly property bool bookmark: cell.model.reuseIdentifier === "kWLDataSourceBookmarkCell"
                                     || cell.model.reuseIdentifier === "kWLDataSourceBookmarkNotesCell"
    property bool confirming: false
    height: table ? table.rowHeight : 44
    onEditingChanged: confirming = false
    focus: ListView.isCurrentItem
    Accessible.role: Accessible.ListItem
    Accessible.name: word
    Accessible.description: cell.model.detailText || ""
    Accessible.selectable: true
    Accessible.selected: selected
    Accessible.focusable: true
    Accessible.onPressAction: activate()

    // A tap, from the pointer, the keyboard or a screen reader.
    function activate() {
        if (cell.confirming)
            cell.confirming = false
        else if (!cell.editing || cell.table.allowsSelectionDuringEditing)
            cell.table.tapRow(cell.index)
    }

    // What most rows never show is made only when needed (the highlight,
    // a bookmark's two-line layout and note, the editing controls): a list
    // then reloads its rows several times faster. Qt 6.4's Loader cannot
    // make a bound component (pragma ComponentBehavior: Bound), so what the
    // loaded parts name of the row is out of qmllint's reach.
    Loader {
        anchors.fill: parent
        active: cell.selected
        sourceComponent: Rectangle {
            gradient: Gradient {
                GradientStop { position: 0; color: Style.selectionTop }
                GradientStop { position: 1; color: Style.selectionBottom }
            }
        }
    }
    Keys.onReturnPressed: function(event) { cell.deleteOrPass(event) }
    Keys.onEnterPressed: function(event) { cell.deleteOrPass(event) }
    // Enter on a row that offers Delete deletes it.
    function deleteOrPass(event) {
        if (!cell.confirming) {
            event.accepted = false
            return
        }
        cell.confirming = false
        cell.table.commitDeleteRow(cell.index)
    }
    Rectangle {
        visible: cell.table && cell.table.separatorStyle === 1
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: Style.separator
    }

    Item {
        id: content
        anchors.fill: parent
        anchors.leftMargin: cell.editing ? 38 : 0
        anchors.rightMargin: cell.confirming && editControls.item ? editControls.removeWidth + 10 : 0
        Behavior on anchors.leftMargin { NumberAnimation { duration: 200 } }

        Loader {
            id: bookmarkLayout
            active: cell.bookmark
            // qmllint disable unqualified
            sourceComponent: WLBookmarkListCell {
                contentBounds: Qt.rect(0, 0, content.width, content.height)
                hasNotes: cell.model.reuseIdentifier === "kWLDataSourceBookmarkNotesCell"
            }
            // qmllint enable unqualified
        }
        readonly property var layout: bookmarkLayout.item
        Text {
            x: content.layout ? content.layout.wordLabelFrame.x : 10
            y: content.layout ? content.layout.wordLabelFrame.y : 0
            width: content.layout ? content.layout.wordLabelFrame.width : content.width - 20
            height: content.layout ? content.layout.wordLabelFrame.height : content.height
            verticalAlignment: Text.AlignVCenter
            // Styled text is bold only where the row says (a search match).
            readonly property bool styled: (cell.model.styledText || "") !== ""
            text: styled ? cell.model.styledText : (cell.model.text || "")
            textFormat: styled ? Text.StyledText : Text.PlainText
            elide: Text.ElideRight
            color: cell.selected ? "white" : (!Style.dark && cell.model.textColor ? cell.model.textColor : Style.text)
            font.pixelSize: content.layout ? content.layout.wordFontSize : Style.fontSize + 3
            font.bold: !styled
            font.family: Style.fontFamily
        }
        Loader {
            active: content.layout !== null && content.layout.hasNotes
            // qmllint disable unqualified
            sourceComponent: Text {
                x: content.layout.notesLabelFrame.x
                y: content.layout.notesLabelFrame.y
                width: content.layout.notesLabelFrame.width
                height: content.layout.notesLabelFrame.height
                verticalAlignment: Text.AlignVCenter
                text: cell.model.detailText || ""
                textFormat: Text.PlainText
                elide: Text.ElideRight
                maximumLineCount: 1
                color: cell.selected ? "white"
                       : Style.dark ? Style.secondaryText
                       : (cell.model.detailTextColor || content.layout.notesTextColor)
                font.pixelSize: content.layout.notesFontSize
                font.family: Style.fontFamily
            }
            // qmllint enable unqualified
        }
    }

    MouseArea {
        anchors.fill: parent
        onClicked: cell.activate()
    }
    FocusRing {
        anchors.margins: 1
        radius: 3
    }
    // The red minus turns into a Delete button. Made only while editing:
    // a list reloads its rows faster without them.
    Loader {
        id: editControls
        anchors.fill: parent
        active: cell.editing
        // The Delete button's width, which the row's text makes room for.
        property real removeWidth: 0
        // qmllint disable unqualified
        sourceComponent: Item {
            Binding {
                target: editControls
                property: "removeWidth"
                value: remove.width
            }
            Rectangle {
                visible: cell.editing
                x: 9
                anchors.verticalCenter: parent.verticalCenter
                width: 22
                height: 22
                radius: 11
                color: Style.deleteRed
                border.color: "white"
                border.width: 2
                rotation: cell.confirming ? 90 : 0
                Accessible.role: Accessible.Button
                Accessible.name: qsTrId("Accessibility.DeleteRow").arg(cell.word)
                Accessible.onPressAction: cell.confirming = !cell.confirming
                Behavior on rotation { NumberAnimation { duration: 150 } }
                Rectangle {
                    anchors.centerIn: parent
                    width: 10
                    height: 3
                    color: "white"
                }
                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -8
                    onClicked: cell.confirming = !cell.confirming
                }
            }
            Rectangle {
                id: remove
                objectName: "deleteButton"
                visible: cell.confirming
                anchors.right: parent.right
                anchors.rightMargin: 8
                anchors.verticalCenter: parent.verticalCenter
                width: deleteLabel.implicitWidth + 20
                height: 30
                radius: 5
                Accessible.role: Accessible.Button
                Accessible.name: deleteLabel.text
                Accessible.onPressAction: {
                    cell.confirming = false
                    cell.table.commitDeleteRow(cell.index)
                }
                gradient: Gradient {
                    GradientStop { position: 0; color: "#ee6b64" }
                    GradientStop { position: 1; color: "#c8231c" }
                }
                Text {
                    id: deleteLabel
                    anchors.centerIn: parent
                    text: qsTrId("Delete")
                    textFormat: Text.PlainText
                    color: "white"
                    font.pixelSize: 12
                    font.bold: true
                    font.family: Style.fontFamily
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        cell.confirming = false
                        cell.table.commitDeleteRow(cell.index)
                    }
                }
            }
        }
        // qmllint enable unqualified
    }
}
