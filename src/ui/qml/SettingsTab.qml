import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import BrewBeacon

// The settings tab: the notice, three switches and the buttons that apply right now.
ScrollView {
    id: tab
    required property QtObject model
    required property QtObject controller
    contentWidth: availableWidth
    Theme { id: colors }

    ColumnLayout {
        width: tab.availableWidth
        spacing: 14

        TabHeader {
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24; Layout.topMargin: 24; Layout.bottomMargin: 4
            title: qsTr("Settings")
            subtitle: qsTr("Keep BrewBeacon ready from the system tray.")
            symbol: "gearshape"
        }
        NoticeCard {
            objectName: "settingsNotice"
            visible: tab.model.hasNotice
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            accent: tab.model.noticeColor
            title: tab.model.noticeTitle
            detail: tab.model.noticeDetail
            iconUrl: tab.model.noticeIcon
            loading: tab.model.noticeLoading
        }
        Card {
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            spacing: 12
            ToggleRow {
                objectName: "launchAtLoginToggle"
                title: qsTr("Launch at Login"); detail: qsTr("Start BrewBeacon when you sign in."); symbol: "power"
                checked: tab.model.launchAtLogin
                onToggled: value => tab.model.setLaunchAtLogin(value)
            }
            ToggleRow {
                objectName: "autoUpdatesToggle"
                title: qsTr("Auto Updates")
                detail: tab.model.updatesManagedMessage || qsTr("Check, download, and install new versions automatically.")
                enabled: !tab.model.updatesManagedMessage
                symbol: "arrow.triangle.2.circlepath"
                checked: tab.model.automaticUpdates
                onToggled: value => tab.model.setAutomaticUpdates(value)
                Button {
                    objectName: "checkForUpdatesButton"
                    highlighted: true
                    text: tab.model.checkButtonTitle
                    icon.source: tab.model.checkButtonIcon
                    icon.cache: false
                    enabled: tab.model.checkButtonEnabled
                    onClicked: tab.model.checkForUpdates()
                }
            }
            ToggleRow {
                objectName: "analyticsToggle"
                title: qsTr("Anonymous Analytics")
                detail: qsTr("Share coarse app usage events without Wi-Fi names, portal URLs, or form values.")
                symbol: "chart.bar"
                checked: tab.model.anonymousAnalytics
                onToggled: value => tab.model.setAnonymousAnalytics(value)
            }
        }
        Flow {
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            spacing: 10
            Button {
                objectName: "approveLoginItemButton"
                visible: tab.model.showsApproveLoginItem
                text: qsTr("Approve Login Item")
                icon.source: Symbols.icon("gear")
                icon.cache: false
                onClicked: tab.model.approveLoginItem()
            }
            Button {
                objectName: "openNetworkSettingsButton"
                visible: tab.model.showsOpenLocationSettings
                text: qsTr("Open Network Settings")
                icon.source: Symbols.icon("location")
                icon.cache: false
                onClicked: tab.model.openLocationSettings()
            }
            Button {
                objectName: "sendFeedbackButton"
                text: qsTr("Send Feedback…")
                icon.source: Symbols.icon("bubble.left.and.bubble.right")
                icon.cache: false
                onClicked: tab.controller.sendFeedback("")
            }
        }
        Label {
            objectName: "settingsToolMessage"
            visible: text !== ""
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            text: tab.model.settingsToolMessage
            wrapMode: Text.Wrap
            font.pixelSize: 12
            color: colors.red
        }
    }
}
