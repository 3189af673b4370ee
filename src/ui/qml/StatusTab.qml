import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import BrewBeacon

// The status tab: the connection with the ranked open networks and the checks, or the Work-Ready verdict.
ScrollView {
    id: tab
    required property QtObject model
    required property QtObject controller
    property int section: 0
    contentWidth: availableWidth
    Theme { id: colors }

    ColumnLayout {
        width: tab.availableWidth
        spacing: 14

        TabHeader {
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24; Layout.topMargin: 24; Layout.bottomMargin: 4
            title: qsTr("Status")
            subtitle: qsTr("Cafe Wi-Fi status, work readiness, and connection checks.")
            symbol: "chart.bar.xaxis"
            Label {
                objectName: "countBadge"
                text: tab.model.networkCountBadge
                padding: 6
                background: Rectangle { radius: 8; color: "#14000000" }
            }
        }

        RowLayout {
            Layout.leftMargin: 24
            spacing: 0
            Accessible.name: qsTr("Status section")
            Repeater {
                model: [qsTr("Connection"), qsTr("Work-Ready")]
                delegate: Button {
                    required property string modelData
                    required property int index
                    objectName: "section" + index
                    text: modelData
                    checkable: true
                    checked: tab.section === index
                    onClicked: {
                        tab.section = index;
                        if (index === 0)
                            tab.model.refresh();
                    }
                }
            }
        }

        ColumnLayout {
            visible: tab.section === 0
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            spacing: 12

            Label { text: qsTr("Connected Wi-Fi"); font.weight: Font.DemiBold; color: colors.secondary }
            Card {
                Layout.fillWidth: true
                accent: tab.model.connectionColor
                RowLayout {
                    spacing: 12
                    Layout.fillWidth: true
                    SymbolIcon { url: tab.model.connectionIcon; size: 28 }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 2
                        Label { objectName: "connectionTitle"; text: tab.model.connectionTitle; font.pixelSize: 16; font.weight: Font.DemiBold }
                        Label { objectName: "connectionDetail"; text: tab.model.connectionDetail; wrapMode: Text.Wrap; Layout.fillWidth: true; color: colors.secondary }
                    }
                    Spinner { running: tab.model.connectionLoading; implicitWidth: 24; implicitHeight: 24 }
                    QualityBadge { visible: tab.model.connectionQuality >= 0; text: tab.model.connectionBadge; bars: tab.model.connectionBars }
                }
            }
            Button {
                objectName: "openPortalButton"
                visible: tab.model.canOpenPortal
                Layout.fillWidth: true
                implicitHeight: 44
                highlighted: true
                text: qsTr("Open Portal Assistant")
                icon.source: Symbols.icon("safari")
                icon.cache: false
                onClicked: tab.model.openPortal()
            }
            RowLayout {
                visible: tab.model.connectedFacts.length > 0
                spacing: 24
                Repeater {
                    model: tab.model.connectedFacts
                    delegate: ColumnLayout {
                        required property var modelData
                        spacing: 0
                        Label { text: modelData.label; font.pixelSize: 11; color: colors.secondary }
                        Label { text: modelData.value; font.weight: Font.Medium }
                    }
                }
            }

            Repeater {
                model: tab.model.networks
                delegate: Card {
                    id: row
                    required property var modelData
                    required property int index
                    objectName: "networkRow" + index
                    Layout.fillWidth: true
                    RowLayout {
                        spacing: 12
                        Layout.fillWidth: true
                        Label { text: row.modelData.rank; font.pixelSize: 15; font.weight: Font.DemiBold; color: colors.secondary; Layout.preferredWidth: 20 }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 2
                            Label { objectName: "networkName"; text: row.modelData.ssid; font.weight: Font.DemiBold; elide: Text.ElideRight; Layout.fillWidth: true }
                            Label { text: row.modelData.facts; font.pixelSize: 11; color: colors.secondary; visible: text !== "" }
                        }
                        // The trailing column: the same width in every row, so badges and buttons line up.
                        RowLayout {
                            objectName: "trailingColumn"
                            Layout.preferredWidth: 250
                            Layout.alignment: Qt.AlignRight | Qt.AlignVCenter
                            spacing: 12
                            Item { Layout.fillWidth: true }
                            QualityBadge { text: row.modelData.badge; bars: row.modelData.bars }
                            Label {
                                visible: row.modelData.isConnected
                                Layout.preferredWidth: 120
                                horizontalAlignment: Text.AlignHCenter
                                text: qsTr("Connected"); color: colors.green; font.weight: Font.DemiBold
                            }
                            Button {
                                objectName: "connectButton"
                                visible: !row.modelData.isConnected
                                enabled: !row.modelData.disabled
                                highlighted: true
                                text: row.modelData.isConnecting ? "" : qsTr("Connect")
                                Layout.preferredWidth: 120
                                Spinner { anchors.centerIn: parent; running: row.modelData.isConnecting; width: 20; height: 20 }
                                onClicked: tab.model.connectToRow(row.index)
                            }
                        }
                    }
                }
            }

            Card {
                objectName: "placeholderCard"
                visible: tab.model.networks.length === 0
                Layout.fillWidth: true
                RowLayout {
                    spacing: 12
                    Layout.fillWidth: true
                    Spinner { running: tab.model.placeholderLoading; implicitWidth: 24; implicitHeight: 24 }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 2
                        Label { objectName: "placeholderTitle"; text: tab.model.placeholderTitle; font.weight: Font.DemiBold }
                        Label { objectName: "placeholderDetail"; text: tab.model.placeholderDetail; wrapMode: Text.Wrap; Layout.fillWidth: true; color: colors.secondary }
                    }
                }
            }
            Label {
                objectName: "reportLink"
                visible: tab.model.networks.length === 0 && !tab.model.placeholderLoading
                text: "<a href=\"report\">" + qsTr("Still having trouble? Report this problem") + "</a>"
                textFormat: Text.StyledText
                onLinkActivated: tab.controller.sendFeedback(tab.model.placeholderTitle)
            }

            Label { text: qsTr("Connection Checks"); font.weight: Font.DemiBold; color: colors.secondary; Layout.topMargin: 6 }
            RowLayout {
                Layout.fillWidth: true
                spacing: 12
                Repeater {
                    model: tab.model.checks
                    delegate: Card {
                        id: tile
                        required property var modelData
                        required property int index
                        objectName: "check" + index
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        accent: modelData.color
                        RowLayout {
                            SymbolIcon { url: tile.modelData.icon }
                            Label { text: tile.modelData.label; font.pixelSize: 12; color: colors.secondary }
                        }
                        Spinner { running: tile.modelData.loading }
                        Label { objectName: "checkValue"; visible: !tile.modelData.loading; text: tile.modelData.value; font.pixelSize: 18; font.weight: Font.DemiBold; color: tile.modelData.color }
                        Label { text: tile.modelData.detail; font.pixelSize: 11; wrapMode: Text.Wrap; Layout.fillWidth: true; color: colors.secondary }
                    }
                }
            }
            Item { implicitHeight: 12 }
        }

        WorkReadySection {
            visible: tab.section === 1
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            model: tab.model
        }
    }
}
