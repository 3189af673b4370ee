import QtQuick
import BrewBeacon

// An icon by symbol name, or by an icon URL the view model already resolved.
Image {
    property string symbol: ""
    property string url: ""
    property int size: 16
    source: url !== "" ? url : (symbol !== "" ? Symbols.icon(symbol) : "")
    sourceSize.width: size
    sourceSize.height: size
    width: size
    height: size
    fillMode: Image.PreserveAspectFit
}
