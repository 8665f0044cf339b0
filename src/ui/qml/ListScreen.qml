import QtQuick
import WLReader.Kit

// A list tab's screen: the rows of its table in sections with sticky
// headers, over the tab's background colour and picture, with the section
// index at the right edge. The list takes the keyboard focus as one place:
// Up and Down move through its rows, Enter or Space opens one; in editing
// mode Delete offers to delete the row and Enter deletes it.
FocusScope {
    id: screen
    property var controller
    readonly property var table: controller ? controller.tableView : null
    // The search screen's bar, which keeps the focus while Up and Down
    // choose a row.
    readonly property var searchBar: controller && controller.searchBar !== undefined ? controller.searchBar : null

    // The bundle's colours and picture are for the light scheme.
    Rectangle {
        anchors.fill: parent
        color: !Style.dark && screen.controller && screen.controller.backgroundColorName !== ""
               ? screen.controller.backgroundColorName : Style.background
    }
    Image {
        anchors.fill: parent
        visible: source !== "" && !Style.dark
        source: screen.controller && screen.controller.backgroundView ? screen.controller.backgroundView.image : ""
        fillMode: Image.PreserveAspectCrop
        asynchronous: true
    }

    TableListView {
        id: list
        objectName: "list"
        controller: screen.controller
        table: screen.table
        anchors.fill: parent
        anchors.rightMargin: index.visible ? index.width : 0
        clip: true
        focus: true
        activeFocusOnTab: true
        model: screen.table ? screen.table.model : null
        interactive: screen.table ? screen.table.scrollEnabled : true
        keyNavigationEnabled: true
        boundsBehavior: Flickable.StopAtBounds
        reuseItems: true
        cacheBuffer: 440
        section.property: "section"
        section.criteria: ViewSection.FullString
        section.labelPositioning: ViewSection.InlineLabels | ViewSection.CurrentLabelAtStart
        // Qt 6.4's ListView gives a header it takes again for another
        // section the new one only as the context property "section", never
        // as a required property; qmllint does not know that name.
        section.delegate: SectionHeader {
            readonly property var table: (ListView.view as TableListView).table
            width: ListView.view.width
            title: table ? table.titleForSection(Number(section)) : "" // qmllint disable unqualified
        }
        delegate: Cell {
            width: ListView.view.width
            table: (ListView.view as TableListView).table
        }
        Accessible.role: Accessible.List
        Accessible.name: screen.controller ? screen.controller.title : ""
        Accessible.description: screen.table && screen.table.editing ? qsTrId("Accessibility.Editing") : ""

        // The keyboard starts at the first row on show, not at the top of
        // the list far above it.
        onActiveFocusChanged: {
            if (!activeFocus || count === 0)
                return
            const top = indexAt(1, contentY + 30)
            const bottom = indexAt(1, contentY + height - 2)
            if (currentIndex < 0 || (top >= 0 && currentIndex < top) || (bottom >= 0 && currentIndex > bottom))
                currentIndex = Math.max(0, top)
        }
        Keys.onReturnPressed: activateCurrent()
        Keys.onEnterPressed: activateCurrent()
        Keys.onSpacePressed: activateCurrent()
        Keys.onDeletePressed: {
            const row = currentItem as Cell
            if (row && row.editing)
                row.confirming = !row.confirming
        }
        Keys.onEscapePressed: function(event) {
            const row = currentItem as Cell
            if (row && row.confirming)
                row.confirming = false
            else
                event.accepted = false
        }
        Keys.onPressed: function(event) {
            const page = Math.max(1, Math.floor(height / (screen.table ? screen.table.rowHeight : 44)) - 1)
            if (event.key === Qt.Key_PageDown)
                currentIndex = Math.min(count - 1, currentIndex + page)
            else if (event.key === Qt.Key_PageUp)
                currentIndex = Math.max(0, currentIndex - page)
            else if (event.key === Qt.Key_Home)
                currentIndex = 0
            else if (event.key === Qt.Key_End)
                currentIndex = count - 1
            else
                return
            event.accepted = true
        }
        function activateCurrent() {
            const row = currentItem as Cell
            if (row)
                row.activate()
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
            if (row >= 0) {
                list.positionViewAtIndex(row, ListView.Beginning)
                list.currentIndex = row
            }
        }
    }

    property int scrolledSerial: 0
    Connections {
        target: screen.table
        function onScrollRequested() { screen.scroll() }
        function onReloaded() { list.forceLayout() }
        // Up and Down on the search screen choose rows through the
        // controller; the list's own place follows, and with the field
        // still focused, the row is said.
        function onSelectionChanged() {
            const row = screen.table.selectedRow
            if (row < 0)
                return
            list.currentIndex = row
            if (screen.searchBar && screen.searchBar.firstResponder && screen.visible) {
                const item = list.itemAtIndex(row)
                if (item)
                    Announcements.announce(item.word)
            }
        }
    }
    Component.onCompleted: scroll()

    // The count of search results, said once the results stop changing.
    Timer {
        id: summaryPause
        interval: 700
        onTriggered: {
            if (screen.visible && screen.controller)
                Announcements.announce(screen.controller.resultsSummary)
        }
    }
    Connections {
        target: screen.controller
        ignoreUnknownSignals: true
        function onResultsSummaryChanged() { summaryPause.restart() }
    }

    function focusContent() { list.forceActiveFocus() }

    function scroll() {
        if (!table || table.scrollSerial === scrolledSerial || table.scrollRow < 0)
            return
        scrolledSerial = table.scrollSerial
        const position = table.scrollPosition
        list.forceLayout()
        list.positionViewAtIndex(table.scrollRow, position === 1 ? ListView.Beginning
                                                 : position === 2 ? ListView.Center
                                                 : position === 3 ? ListView.End : ListView.Contain)
        // The keyboard goes on from the row shown.
        list.currentIndex = table.scrollRow
    }
}
