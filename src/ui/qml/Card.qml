import QtQuick
import QtQuick.Layouts

// A rounded panel; its children lay out in a column inside a 14 pt padding.
Rectangle {
    id: card
    default property alias content: column.data
    property color accent: "transparent"
    property alias spacing: column.spacing
    Theme { id: colors }
    color: colors.card
    radius: 10
    border.color: colors.border
    implicitHeight: column.implicitHeight + 28
    implicitWidth: column.implicitWidth + 28

    Rectangle {
        visible: card.accent !== Qt.color("transparent")
        color: card.accent
        width: 4
        radius: 2
        anchors { left: parent.left; top: parent.top; bottom: parent.bottom; margins: 8 }
    }
    ColumnLayout {
        id: column
        anchors { fill: parent; margins: 14; leftMargin: 20 }
        spacing: 8
    }
}
