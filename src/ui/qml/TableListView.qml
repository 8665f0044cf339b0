import QtQuick

// The list of a table's rows, which its rows and section headers reach
// through ListView.view. They cannot name the ids around them: Qt 6.4's
// ListView cannot make section headers of a bound component
// (pragma ComponentBehavior: Bound).
ListView {
    property var controller
    property var table
}
