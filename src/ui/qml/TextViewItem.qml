import QtQuick
import WLReader.Kit

// A text view: its text in its colour, editable once the model lets the
// editing begin; what the user types goes back to the model. The keyboard
// focus begins the editing; Tab leaves the field rather than typing a tab.
Rectangle {
    id: view
    property var control
    // What a screen reader calls the field.
    property string label: qsTrId("AddBookmark.Notes")
    // Where the keyboard focus goes when the editing ends with the focus
    // still in the field (Escape): not a field that no longer edits.
    property Item focusAfterEditing: null
    x: control ? control.frame.x : 0
    y: control ? control.frame.y : 0
    width: control ? control.frame.width : 0
    height: control ? control.frame.height : 0
    // The model's colours are the light scheme's.
    color: !Style.dark && control && control.backgroundColor !== "" ? control.backgroundColor : Style.fieldBackground
    clip: true

    Flickable {
        id: scroller
        anchors.fill: parent
        contentWidth: width
        contentHeight: field.contentHeight + 8
        boundsBehavior: Flickable.StopAtBounds
        TextEdit {
            id: field
            objectName: "textViewField"
            x: 4
            y: 4
            width: scroller.width - 8
            // The whole frame takes a tap, not only the lines of text.
            height: Math.max(contentHeight, scroller.height - 8)
            wrapMode: TextEdit.Wrap
            textFormat: TextEdit.PlainText
            color: !Style.dark && view.control && view.control.textColor !== "" ? view.control.textColor : Style.fieldText
            selectionColor: Style.selectionBottom
            selectedTextColor: "white"
            selectByMouse: true
            activeFocusOnTab: true
            Accessible.role: Accessible.EditableText
            Accessible.name: view.label
            Accessible.multiLine: true
            font.pixelSize: view.control ? view.control.fontSize : 17
            font.family: Style.fontFamily
            Keys.onTabPressed: nextItemInFocusChain(true).forceActiveFocus()
            Keys.onBacktabPressed: nextItemInFocusChain(false).forceActiveFocus()
            onCursorRectangleChanged: {
                if (cursorRectangle.y + cursorRectangle.height > scroller.contentY + scroller.height)
                    scroller.contentY = cursorRectangle.y + cursorRectangle.height - scroller.height + 8
            }
            onActiveFocusChanged: {
                if (!view.control)
                    return
                if (activeFocus && !view.control.beginEditing())
                    focus = false
                else if (!activeFocus)
                    view.control.endEditing()
            }
            onTextChanged: {
                if (activeFocus && view.control && view.control.editing)
                    view.control.textEdited(text)
            }
            Component.onCompleted: text = view.control ? view.control.text : ""
        }
    }
    FocusRing {
        shown: field.activeFocus
        anchors.margins: 0
    }
    Connections {
        target: view.control
        function onTextChanged() {
            if (field.text !== view.control.text)
                field.text = view.control.text
        }
        function onEditingChanged() {
            if (view.control.editing) {
                field.cursorPosition = field.length
            } else {
                const hadFocus = field.activeFocus
                field.focus = false
                if (hadFocus && view.focusAfterEditing)
                    view.focusAfterEditing.forceActiveFocus()
            }
        }
    }
}
