import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// One stat of the Work-Ready grid: label, value in the tone's colour, and a detail.
Card {
    id: stat
    property string label: ""
    property string value: ""
    property string detail: ""
    property string symbol: ""
    property string iconUrl: ""
    property color tone: "#8a8a8e"
    Layout.fillWidth: true
    Layout.preferredWidth: 1
    accent: tone
    Theme { id: colors }
    RowLayout {
        SymbolIcon { symbol: stat.symbol; url: stat.iconUrl }
        Label { text: stat.label; font.pixelSize: 12; color: colors.secondary }
    }
    Label { objectName: "statValue"; text: stat.value; font.pixelSize: 16; font.weight: Font.DemiBold; color: stat.tone; wrapMode: Text.Wrap; Layout.fillWidth: true }
    Label { text: stat.detail; font.pixelSize: 11; wrapMode: Text.Wrap; Layout.fillWidth: true; color: colors.secondary }
}
