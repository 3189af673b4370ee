import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A notice at the top of a tab: symbol, title, detail, and a spinner while something runs.
Card {
    id: notice
    property string title: ""
    property string detail: ""
    property string iconUrl: ""
    property bool loading: false
    RowLayout {
        spacing: 10
        Layout.fillWidth: true
        SymbolIcon { url: notice.iconUrl; size: 20 }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2
            Label { objectName: "noticeTitle"; text: notice.title; font.weight: Font.DemiBold }
            Label { text: notice.detail; wrapMode: Text.Wrap; Layout.fillWidth: true; font.pixelSize: 12 }
        }
        Spinner { running: notice.loading }
    }
}
