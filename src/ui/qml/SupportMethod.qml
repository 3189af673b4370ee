import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import BrewBeacon

// An expandable support method; its chevron turns a quarter turn when open.
ColumnLayout {
    id: method
    property string title: ""
    property bool expanded: false
    default property alias content: body.data
    signal toggle()
    Layout.fillWidth: true

    RowLayout {
        spacing: 6
        SymbolIcon {
            symbol: "chevron.right"
            size: 12
            rotation: method.expanded ? 90 : 0
            Behavior on rotation { NumberAnimation { duration: 150 } }
        }
        Label { text: method.title; font.weight: Font.Medium }
        TapHandler { onTapped: method.toggle() }
    }
    ColumnLayout {
        id: body
        visible: method.expanded
        Layout.fillWidth: true
        Layout.leftMargin: 12
    }
}
