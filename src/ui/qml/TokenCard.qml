import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A stat whose value is a wrapped row of tokens, or its empty value.
Card {
    id: card
    property string label: ""
    property var tokens: []
    property string emptyValue: ""
    property string symbol: ""
    property color tone: "#8a8a8e"
    Layout.fillWidth: true
    Layout.preferredWidth: 1
    accent: tone
    Theme { id: colors }
    RowLayout {
        SymbolIcon { symbol: card.symbol }
        Label { text: card.label; font.pixelSize: 12; color: colors.secondary }
    }
    Label { visible: card.tokens.length === 0; text: card.emptyValue; font.weight: Font.DemiBold; color: card.tone }
    Flow {
        Layout.fillWidth: true
        spacing: 6
        Repeater {
            model: card.tokens
            delegate: Label {
                required property string modelData
                text: modelData
                font.pixelSize: 12
                padding: 4
                leftPadding: 8
                rightPadding: 8
                background: Rectangle { radius: 9; color: Qt.rgba(card.tone.r, card.tone.g, card.tone.b, 0.14) }
            }
        }
    }
}
