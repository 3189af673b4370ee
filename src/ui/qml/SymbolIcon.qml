import QtQuick
import BrewBeacon

// An icon by symbol name, or by an icon URL the view model already resolved. Icons are not kept in
// the engine's image cache: a cached image outlives its window and is let go a quarter at a time on a
// 30 s timer, waking the tray and running the scene graph's code for minutes after the window closed.
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
    cache: false
}
