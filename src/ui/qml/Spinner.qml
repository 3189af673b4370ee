import QtQuick

// The loading indicator: eight ticks turning while `running`. Drawn at full strength from the first
// frame (no fade-in), and it animates only while shown and running, so an idle window draws nothing.
Item {
    id: spinner
    property bool running: false
    property color color: "#8a8a8e"
    visible: running
    implicitWidth: 22
    implicitHeight: 22

    Repeater {
        model: 8
        Rectangle {
            required property int index
            width: Math.max(2, spinner.width / 9)
            height: spinner.height / 4
            radius: width / 2
            color: spinner.color
            opacity: 0.25 + 0.75 * (index + 1) / 8
            x: (spinner.width - width) / 2
            transform: Rotation { origin.x: width / 2; origin.y: spinner.height / 2; angle: index * 45 }
        }
    }
    RotationAnimator on rotation {
        from: 0
        to: 360
        duration: 1000
        loops: Animation.Infinite
        running: spinner.running && spinner.visible
    }
}
