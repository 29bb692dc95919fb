pragma Singleton
import QtQuick 2.15

// Look constants shared by the controls.
QtObject {
    readonly property string fontFamily: "微软雅黑"
    readonly property int fontPixelSize: 14
    readonly property int controlHeight: 30
    readonly property int maxLength: 64
}
