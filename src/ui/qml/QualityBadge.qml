import QtQuick
import QtQuick.Controls

// "72%" beside the signal bars.
Row {
    id: badge
    property string text: ""
    property int bars: 1
    spacing: 6
    Label {
        width: 38
        horizontalAlignment: Text.AlignRight
        text: badge.text
        font.pixelSize: 12
        font.weight: Font.DemiBold
    }
    SignalBars { lit: badge.bars; height: 16 }
}
