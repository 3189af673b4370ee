import QtQuick

// The colours the windows draw in; tones come from the view models as colours of their own.
QtObject {
    readonly property color window: "#f5f4f1"
    readonly property color card: "#ffffff"
    readonly property color border: "#e3e1dc"
    readonly property color text: "#1d1d1f"
    readonly property color secondary: "#8a8a8e"
    readonly property color tertiary: "#b0b0b4"
    readonly property color accent: "#2f7de1"
    readonly property color green: "#2e9d4f"
    readonly property color orange: "#e08a00"
    readonly property color red: "#d64541"
}
