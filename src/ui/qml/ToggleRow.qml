import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A settings switch: symbol in a 22 x 22 frame, title and detail, optional controls that belong to it
// (its children), and the switch at the end.
RowLayout {
    id: row
    default property alias extra: extraSlot.data
    property string title: ""
    property string detail: ""
    property string symbol: ""
    property bool checked: false
    signal toggled(bool value)
    Layout.fillWidth: true
    spacing: 10
    Theme { id: colors }

    Item {
        implicitWidth: 22
        implicitHeight: 22
        SymbolIcon { anchors.centerIn: parent; symbol: row.symbol; size: 15 }
    }
    ColumnLayout {
        Layout.fillWidth: true
        spacing: 1
        Label { text: row.title; font.pixelSize: 13; font.weight: Font.Medium }
        Label { text: row.detail; font.pixelSize: 11; color: colors.secondary; wrapMode: Text.Wrap; Layout.fillWidth: true }
    }
    RowLayout { id: extraSlot; spacing: 8 }
    Switch {
        objectName: "switch"
        checked: row.checked
        onToggled: row.toggled(checked)
    }
}
