import QtQuick

// The Work-Ready ring: a faint track of the level colour under an arc covering the score's share.
Canvas {
    id: ring
    property real fraction: 0
    property color tone: "#8a8a8e"
    property string centerText: ""
    width: 56
    height: 56
    onFractionChanged: requestPaint()
    onToneChanged: requestPaint()
    onPaint: {
        const context = getContext("2d");
        context.reset();
        context.lineWidth = 7;
        const radius = (width - 7) / 2;
        context.strokeStyle = Qt.rgba(tone.r, tone.g, tone.b, 0.18);
        context.beginPath();
        context.arc(width / 2, height / 2, radius, 0, 2 * Math.PI);
        context.stroke();
        if (fraction > 0) {
            context.strokeStyle = tone;
            context.lineCap = "round";
            context.beginPath();
            context.arc(width / 2, height / 2, radius, -Math.PI / 2, -Math.PI / 2 + 2 * Math.PI * fraction);
            context.stroke();
        }
    }
    Text {
        anchors.centerIn: parent
        text: ring.centerText
        font.pixelSize: 15
        font.weight: Font.DemiBold
    }
}
