import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import BrewBeacon

// The setup window: why the permission is needed, one button to grant it, and "Continue".
Window {
    id: root
    required property QtObject onboarding
    title: qsTr("BrewBeacon Setup")
    color: colors.window
    Theme { id: colors }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        RowLayout {
            spacing: 14
            SymbolIcon { symbol: "cup.and.saucer.fill"; size: 40 }
            ColumnLayout {
                spacing: 2
                Label { text: qsTr("Setup BrewBeacon"); font.pixelSize: 22; font.weight: Font.DemiBold }
                Label { text: qsTr("Allow Wi-Fi scanning so BrewBeacon can show Wi-Fi names."); font.pixelSize: 12; color: colors.secondary }
            }
        }
        Card {
            Layout.fillWidth: true
            accent: root.onboarding.needsAttention ? colors.orange : colors.green
            RowLayout {
                spacing: 12
                Layout.fillWidth: true
                SymbolIcon { objectName: "locationRowIcon"; url: root.onboarding.rowIcon; size: 22 }
                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 2
                    Label { text: qsTr("Wi-Fi Access"); font.weight: Font.DemiBold }
                    Label { objectName: "locationDetail"; text: root.onboarding.detail; wrapMode: Text.Wrap; Layout.fillWidth: true; font.pixelSize: 12 }
                }
                Button {
                    objectName: "locationButton"
                    text: root.onboarding.buttonTitle
                    icon.source: root.onboarding.buttonIcon
                    icon.cache: false
                    onClicked: root.onboarding.pressAccessButton()
                }
            }
        }
        Label {
            objectName: "settingsToolMessage"
            visible: text !== ""
            Layout.fillWidth: true
            text: root.onboarding.settingsToolMessage
            wrapMode: Text.Wrap
            font.pixelSize: 12
            color: colors.red
        }
        Item { Layout.fillHeight: true }
        RowLayout {
            Item { Layout.fillWidth: true }
            Button {
                objectName: "continueButton"
                highlighted: true
                implicitWidth: Math.max(110, implicitContentWidth + leftPadding + rightPadding)
                implicitHeight: 40
                text: qsTr("Continue")
                icon.source: Symbols.icon("checkmark.circle.fill")
                icon.cache: false
                enabled: root.onboarding.continueEnabled
                onClicked: root.onboarding.pressContinue()
            }
        }
    }
}
