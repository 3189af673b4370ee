import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import BrewBeacon

// The main window: the tab bar with the language menu over the four tabs.
Window {
    id: root
    required property QtObject controller
    required property QtObject status
    required property QtObject settings
    required property QtObject formValues
    required property QtObject about
    required property QtObject language

    title: "BrewBeacon"
    color: colors.window
    Theme { id: colors }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 10
            spacing: 6
            Repeater {
                model: [
                    { title: qsTr("Status"), symbol: "chart.bar.xaxis" },
                    { title: qsTr("Settings"), symbol: "gearshape" },
                    { title: qsTr("Form Values"), symbol: "text.badge.checkmark" },
                    { title: qsTr("About"), symbol: "info.circle" }
                ]
                delegate: Button {
                    required property var modelData
                    required property int index
                    objectName: "tab" + index
                    text: modelData.title
                    icon.source: Symbols.icon(modelData.symbol)
                    icon.cache: false
                    flat: root.controller.selectedTab !== index
                    highlighted: root.controller.selectedTab === index
                    onClicked: root.controller.selectTab(index)
                }
            }
            Item { Layout.fillWidth: true }
            SymbolIcon { symbol: "globe" }
            Label { text: qsTr("Language") }
            ComboBox {
                id: languageMenu
                objectName: "languageMenu"
                model: root.language.choices
                currentIndex: ["system", "en", "vi"].indexOf(root.language.code)
                onActivated: index => root.language.choose(index)
                implicitWidth: 190
                // The current choice carries a checkmark in the open menu.
                delegate: ItemDelegate {
                    required property string modelData
                    required property int index
                    objectName: "languageChoice" + index
                    width: ListView.view ? ListView.view.width : implicitWidth
                    text: modelData
                    readonly property bool current: index === languageMenu.currentIndex
                    // Every row keeps the mark's room, so the labels line up.
                    icon.source: Symbols.icon("checkmark")
                    icon.cache: false
                    icon.color: current ? colors.accent : "transparent"
                    font.weight: current ? Font.DemiBold : Font.Normal
                    highlighted: languageMenu.highlightedIndex === index
                }
            }
        }
        Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: colors.border }

        StackLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: root.controller.selectedTab
            StatusTab { model: root.status; controller: root.controller }
            SettingsTab { model: root.settings; controller: root.controller }
            FormValuesTab { model: root.formValues }
            AboutTab { model: root.about; controller: root.controller }
        }
    }
}
