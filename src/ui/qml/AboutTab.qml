import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import BrewBeacon

// What the product does, its boundaries, optional support and its links.
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
            title: qsTr("About")
            subtitle: qsTr("BrewBeacon details, support, and product boundaries.")
            symbol: "info.circle"
            Label {
                objectName: "versionBadge"
                text: tab.model.versionBadge
                font.pixelSize: 11
                font.weight: Font.Medium
                color: colors.secondary
            }
        }
        Card {
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            Label { text: qsTr("Mission"); font.weight: Font.DemiBold }
            Label {
                Layout.fillWidth: true
                wrapMode: Text.Wrap
                text: qsTr("BrewBeacon helps your laptop choose and verify cafe or guest Wi-Fi for real work. It ranks nearby open networks, joins the best lawful option, opens simple portal steps when needed, and checks whether the connection is actually usable.")
            }
            Repeater {
                model: [
                    { symbol: "wifi", title: qsTr("Finds cafe-friendly Wi-Fi"), detail: qsTr("Ranks open cafe and guest networks by signal quality and public-use hints.") },
                    { symbol: "speedometer", title: qsTr("Checks work readiness"), detail: qsTr("Measures the practical chance of browsing, calls, uploads, and focused work.") },
                    { symbol: "safari", title: qsTr("Helps with simple portals"), detail: qsTr("Opens Portal Assistant and fills simple cafe portal fields when safe.") }
                ]
                delegate: RowLayout {
                    required property var modelData
                    spacing: 10
                    SymbolIcon { symbol: modelData.symbol; size: 18 }
                    ColumnLayout {
                        spacing: 0
                        Label { text: modelData.title; font.weight: Font.Medium }
                        Label { text: modelData.detail; font.pixelSize: 11; color: colors.secondary }
                    }
                }
            }
        }
        Card {
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            RowLayout {
                SymbolIcon { symbol: "checkmark.shield" }
                Label { text: qsTr("Clear boundaries"); font.weight: Font.DemiBold }
            }
            Label {
                Layout.fillWidth: true
                wrapMode: Text.Wrap
                text: qsTr("BrewBeacon does not bypass passwords, payments, vouchers, accounts, enterprise login, CAPTCHA, OTP, or other restricted access controls.")
            }
        }
        Card {
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            Label { text: qsTr("Buy me a coffee"); font.weight: Font.DemiBold }
            Label { text: qsTr("Optional support for BrewBeacon development."); font.pixelSize: 12 }
            Label { text: qsTr("This is a voluntary tip, not a charity donation and not tax-deductible."); font.pixelSize: 11; color: colors.secondary }
            SupportMethod {
                title: "PayPal.Me"
                expanded: tab.model.expandedSupportMethod === 0
                onToggle: tab.model.toggleSupportMethod(0)
                Label {
                    text: qsTr("Send a coffee through PayPal.Me.") + " <a href=\"" + tab.model.tipURL + "\">" + tab.model.tipURL + "</a>"
                    textFormat: Text.StyledText
                    onLinkActivated: link => tab.model.openLink(link)
                }
            }
            SupportMethod {
                title: qsTr("Bank transfer")
                expanded: tab.model.expandedSupportMethod === 1
                onToggle: tab.model.toggleSupportMethod(1)
                Repeater {
                    model: tab.model.bankRows
                    delegate: RowLayout {
                        required property var modelData
                        Label { text: modelData.label; color: colors.secondary; Layout.preferredWidth: 140 }
                        Label { text: modelData.value; font.weight: Font.Medium; Layout.fillWidth: true }
                        Button {
                            text: modelData.copied ? qsTr("Copied") : qsTr("Copy")
                            icon.source: Symbols.icon(modelData.copied ? "checkmark" : "doc.on.doc")
                            icon.cache: false
                            onClicked: tab.model.copyValue(modelData.value)
                        }
                    }
                }
                // Without details built in, the card says where they are instead of showing a bare link.
                RowLayout {
                    visible: tab.model.bankRows.length === 0
                    spacing: 10
                    Label { objectName: "bankDetailsElsewhere"; text: qsTr("Bank-transfer details are on the support page."); font.pixelSize: 12 }
                    Button {
                        objectName: "openSupportPageButton"
                        text: qsTr("Open Support Page")
                        onClicked: tab.model.openLink(tab.model.supportURL)
                    }
                }
            }
        }
        RowLayout {
            Layout.leftMargin: 24; Layout.rightMargin: 24
            spacing: 8
            Repeater {
                model: tab.model.links
                delegate: Button {
                    required property var modelData
                    flat: true
                    text: modelData.title
                    onClicked: tab.model.openLink(modelData.url)
                }
            }
            Button {
                objectName: "aboutSendFeedbackButton"
                text: qsTr("Send Feedback…")
                icon.source: Symbols.icon("bubble.left.and.bubble.right")
                icon.cache: false
                onClicked: tab.controller.sendFeedback("")
            }
        }
        Label {
            Layout.fillWidth: true
            Layout.bottomMargin: 20
            horizontalAlignment: Text.AlignHCenter
            font.pixelSize: 11
            color: colors.tertiary
            text: qsTr("Made for people who work from cafes.")
        }
    }
}
