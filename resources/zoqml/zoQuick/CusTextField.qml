import QtQuick 2.15
import QtQuick.Controls 2.15

// A text field on a light rounded background.
TextField {
    id: field
    // The width at which the whole placeholder shows.
    readonly property real placeholderFitWidth: Math.ceil(hint.advanceWidth) + leftPadding + rightPadding + 2

    maximumLength: CusConfig.maxLength
    font.pixelSize: 18
    font.family: CusConfig.fontFamily
    selectByMouse: true
    leftPadding: 10
    background: Rectangle {
        radius: 4
        color: "#f5f5f6"
    }
    TextMetrics {
        id: hint
        font: field.font
        text: field.placeholderText
    }
}
