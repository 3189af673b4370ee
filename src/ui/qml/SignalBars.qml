import QtQuick

// Four bars, (i + 1) x 4 pt tall; the view model says how many are lit.
Row {
    id: bars
    property int lit: 1
    spacing: 2
    Theme { id: colors }
    Repeater {
        model: 4
        delegate: Rectangle {
            required property int index
            width: 4
            height: (index + 1) * 4
            anchors.bottom: parent.bottom
            radius: 1
            color: index < bars.lit ? colors.green : Qt.rgba(0.54, 0.54, 0.56, 0.25)
        }
    }
}
