import QtQuick
import WLReader.Kit

// One row: the word (and for bookmarks with a note, the note under it),
// highlighted while selected; in editing mode a delete control at the left.
Item {
    id: cell
    property var table
    readonly property bool selected: table !== null && table.selectedRow === index
    readonly property bool editing: table !== null && table.editing && table.canEditRows
    readonly property bool bookmark: model.reuseIdentifier === "kWLDataSourceBookmarkCell"
                                     || model.reuseIdentifier === "kWLDataSourceBookmarkNotesCell"
    property bool confirming: false
    height: table ? table.rowHeight : 44
    onEditingChanged: confirming = false

    Rectangle {
        anchors.fill: parent
        visible: cell.selected
        gradient: Gradient {
            GradientStop { position: 0; color: Style.selectionTop }
            GradientStop { position: 1; color: Style.selectionBottom }
        }
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
        anchors.rightMargin: cell.confirming ? remove.width + 10 : 0
        Behavior on anchors.leftMargin { NumberAnimation { duration: 200 } }

        WLBookmarkListCell {
            id: layout
            contentBounds: Qt.rect(0, 0, content.width, content.height)
            hasNotes: model.reuseIdentifier === "kWLDataSourceBookmarkNotesCell"
        }
        Text {
            x: cell.bookmark ? layout.wordLabelFrame.x : 10
            y: cell.bookmark ? layout.wordLabelFrame.y : 0
            width: cell.bookmark ? layout.wordLabelFrame.width : content.width - 20
            height: cell.bookmark ? layout.wordLabelFrame.height : content.height
            verticalAlignment: Text.AlignVCenter
            // Styled text is bold only where the row says (a search match).
            readonly property bool styled: (model.styledText || "") !== ""
            text: styled ? model.styledText : (model.text || "")
            textFormat: styled ? Text.StyledText : Text.PlainText
            elide: Text.ElideRight
            color: cell.selected ? "white" : (model.textColor || "black")
            font.pixelSize: cell.bookmark ? layout.wordFontSize : Style.fontSize + 3
            font.bold: !styled
            font.family: Style.fontFamily
        }
        Text {
            visible: layout.hasNotes
            x: layout.notesLabelFrame.x
            y: layout.notesLabelFrame.y
            width: layout.notesLabelFrame.width
            height: layout.notesLabelFrame.height
            verticalAlignment: Text.AlignVCenter
            text: model.detailText || ""
            elide: Text.ElideRight
            maximumLineCount: 1
            color: cell.selected ? "white" : (model.detailTextColor || layout.notesTextColor)
            font.pixelSize: layout.notesFontSize
            font.family: Style.fontFamily
        }
    }

    MouseArea {
        anchors.fill: parent
        onClicked: {
            if (cell.confirming)
                cell.confirming = false
            else if (!cell.editing)
                cell.table.tapRow(index)
        }
    }
    // The red minus turns into a Delete button.
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
        gradient: Gradient {
            GradientStop { position: 0; color: "#ee6b64" }
            GradientStop { position: 1; color: "#c8231c" }
        }
        Text {
            id: deleteLabel
            anchors.centerIn: parent
            text: qsTrId("Delete")
            color: "white"
            font.pixelSize: 12
            font.bold: true
            font.family: Style.fontFamily
        }
        MouseArea {
            anchors.fill: parent
            onClicked: {
                cell.confirming = false
                cell.table.commitDeleteRow(index)
            }
        }
    }
}
