import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import BrewBeacon

// The autofill values: eleven fields, saved only when complete enough for a simple portal.
ScrollView {
    id: tab
    required property QtObject model
    contentWidth: availableWidth
    Theme { id: colors }

    ColumnLayout {
        width: tab.availableWidth
        spacing: 14

        TabHeader {
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24; Layout.topMargin: 24; Layout.bottomMargin: 4
            title: qsTr("Form Values")
            subtitle: qsTr("Default details for simple cafe portal autofill.")
            symbol: "text.badge.checkmark"
        }
        RowLayout {
            Layout.leftMargin: 24; Layout.rightMargin: 24
            spacing: 8
            SymbolIcon { symbol: "exclamationmark.triangle" }
            Label {
                Layout.fillWidth: true
                wrapMode: Text.Wrap
                font.pixelSize: 12
                text: qsTr("BrewBeacon uses these values only on simple cafe and guest Wi-Fi portals. It still stops for CAPTCHA, OTP, payment, passwords, vouchers, and member-only forms.")
            }
        }
        NoticeCard {
            objectName: "formValuesNotice"
            visible: tab.model.hasNotice
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            accent: tab.model.noticeColor
            title: tab.model.noticeTitle
            detail: tab.model.noticeDetail
            iconUrl: tab.model.noticeIcon
        }
        Card {
            Layout.fillWidth: true
            Layout.leftMargin: 24; Layout.rightMargin: 24
            GridLayout {
                Layout.fillWidth: true
                columns: 2
                columnSpacing: 16
                rowSpacing: 10
                Repeater {
                    model: tab.model.fields
                    delegate: ColumnLayout {
                        id: field
                        required property var modelData
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        spacing: 2
                        Label { text: field.modelData.label; font.pixelSize: 12; font.weight: Font.Medium }
                        TextField {
                            objectName: "field_" + field.modelData.key
                            Layout.fillWidth: true
                            text: field.modelData.value
                            onEditingFinished: tab.model.setField(field.modelData.key, text)
                        }
                        Label { text: field.modelData.hint; font.pixelSize: 11; color: colors.secondary }
                    }
                }
            }
        }
        Label {
            objectName: "formValuesStatus"
            visible: text !== ""
            Layout.leftMargin: 24
            text: tab.model.statusMessage
            color: colors.red
            font.pixelSize: 12
            font.weight: Font.Medium
        }
        RowLayout {
            Layout.leftMargin: 24; Layout.rightMargin: 24; Layout.bottomMargin: 24
            spacing: 10
            Button {
                objectName: "saveValuesButton"
                highlighted: true
                text: qsTr("Save Values")
                icon.source: Symbols.icon("checkmark.circle")
                icon.cache: false
                onClicked: {
                    tab.forceActiveFocus(); // commits the field being edited
                    tab.model.save();
                }
            }
            Button {
                objectName: "useNewDefaultButton"
                text: qsTr("Use New Default")
                icon.source: Symbols.icon("arrow.clockwise")
                icon.cache: false
                onClicked: tab.model.useNewDefault()
            }
        }
    }
}
