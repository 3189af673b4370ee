import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The header every tab opens with: symbol tile, title over subtitle, and optional trailing content.
RowLayout {
    id: header
    property string title: ""
    property string subtitle: ""
    property string symbol: ""
    default property alias trailing: trailingRow.data
    spacing: 14
    Theme { id: colors }

    Rectangle {
        implicitWidth: 38
        implicitHeight: 38
        radius: 9
        color: "#0f000000"
        SymbolIcon { anchors.centerIn: parent; symbol: header.symbol; size: 20 }
    }
    ColumnLayout {
        spacing: 2
        Label { text: header.title; font.pixelSize: 22; font.weight: Font.DemiBold; color: colors.text }
        Label { text: header.subtitle; font.pixelSize: 12; color: colors.secondary }
    }
    Item { Layout.fillWidth: true }
    RowLayout { id: trailingRow }
}
