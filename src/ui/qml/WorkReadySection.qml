import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The Work-Ready Score card and its stat cards, all drawn in the level's colour.
Card {
    id: section
    required property QtObject model
    Theme { id: colors }

    RowLayout {
        SymbolIcon { symbol: "laptopcomputer.and.checkmark"; size: 20 }
        Label { text: qsTr("Work-Ready Score"); font.pixelSize: 15; font.weight: Font.DemiBold }
    }
    GridLayout {
        Layout.fillWidth: true
        columns: 2
        columnSpacing: 12
        rowSpacing: 12

        Card {
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            accent: section.model.workReadyColor
            RowLayout {
                spacing: 12
                Layout.fillWidth: true
                ScoreRing {
                    fraction: section.model.workReadyFraction
                    tone: section.model.workReadyColor
                    centerText: section.model.workReadyFraction > 0 ? Math.round(section.model.workReadyFraction * 100) : ""
                }
                ColumnLayout {
                    Label { text: qsTr("Work-Ready Score"); font.pixelSize: 12; color: colors.secondary }
                    Label { objectName: "scoreText"; text: section.model.workReadyScore; font.pixelSize: 18; font.weight: Font.DemiBold }
                }
                SymbolIcon { visible: section.model.workReadyLevelIcon !== ""; url: section.model.workReadyLevelIcon; size: 20 }
            }
        }
        StatCard {
            label: qsTr("Next Step"); value: section.model.nextStep; detail: section.model.workReadyRecommendation
            symbol: "arrow.turn.down.right"; tone: section.model.workReadyColor
        }
        StatCard {
            objectName: "readinessCard"
            label: qsTr("Readiness"); value: section.model.workReadyTitle; detail: section.model.workReadyDetail
            iconUrl: section.model.readinessIcon; tone: section.model.workReadyColor
        }
        TokenCard {
            label: qsTr("Good For"); tokens: section.model.goodFor; emptyValue: qsTr("No tasks yet")
            symbol: "checkmark.circle.fill"; tone: section.model.workReadyColor
        }
        TokenCard {
            visible: section.model.showsWatch
            label: qsTr("Watch"); tokens: section.model.limitingFactors; emptyValue: qsTr("No limits")
            symbol: "exclamationmark.triangle.fill"; tone: colors.orange
        }
    }
}
