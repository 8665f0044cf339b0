import QtQuick
import WLReader.Kit

// A list tab's screen: the rows of its table in sections with sticky
// headers, over the tab's background colour and picture, with the section
// index at the right edge.
Item {
    id: screen
    property var controller
    readonly property var table: controller ? controller.tableView : null

    Rectangle {
        anchors.fill: parent
        color: screen.controller && screen.controller.backgroundColorName !== ""
               ? screen.controller.backgroundColorName : "white"
    }
    Image {
        anchors.fill: parent
        visible: source !== ""
        source: screen.controller && screen.controller.backgroundView ? screen.controller.backgroundView.image : ""
        fillMode: Image.PreserveAspectCrop
        asynchronous: true
    }

    ListView {
        id: list
        objectName: "list"
        anchors.fill: parent
        anchors.rightMargin: index.visible ? index.width : 0
        clip: true
        model: screen.table ? screen.table.model : null
        interactive: screen.table ? screen.table.scrollEnabled : true
        boundsBehavior: Flickable.StopAtBounds
        reuseItems: true
        cacheBuffer: 440
        section.property: "section"
        section.criteria: ViewSection.FullString
        section.labelPositioning: ViewSection.InlineLabels | ViewSection.CurrentLabelAtStart
        section.delegate: SectionHeader {
            width: list.width
            title: screen.table ? screen.table.titleForSection(Number(section)) : ""
        }
        delegate: Cell {
            width: list.width
            table: screen.table
        }
    }

    SectionIndex {
        id: index
        objectName: "sectionIndex"
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        titles: screen.table ? screen.table.sectionIndexTitles : []
        visible: titles.length > 0 && !(screen.table && screen.table.editing)
        onActivated: function(entry) {
            const row = screen.table.rowForSectionIndex(entry)
            if (row >= 0)
                list.positionViewAtIndex(row, ListView.Beginning)
        }
    }

    property int scrolledSerial: 0
    Connections {
        target: screen.table
        function onScrollRequested() { screen.scroll() }
        function onReloaded() { list.forceLayout() }
    }
    Component.onCompleted: scroll()

    function scroll() {
        if (!table || table.scrollSerial === scrolledSerial || table.scrollRow < 0)
            return
        scrolledSerial = table.scrollSerial
        const position = table.scrollPosition
        list.forceLayout()
        list.positionViewAtIndex(table.scrollRow, position === 1 ? ListView.Beginning
                                                 : position === 2 ? ListView.Center
                                                 : position === 3 ? ListView.End : ListView.Contain)
    }
}
