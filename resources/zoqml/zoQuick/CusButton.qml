import QtQuick 2.15

// A flat push button: a rounded rectangle with a centred text. It is at
// least minimumWidth wide and wider where its text needs it, so that a longer
// translation is never cut off.
Rectangle {
    id: button
    property real minimumWidth: 80
    property alias text: label.text
    property alias textColor: label.color
    property alias font: label.font
    property color backgroundColor: "#dddddd"
    signal clicked

    implicitWidth: Math.max(minimumWidth, label.implicitWidth + 24)
    implicitHeight: CusConfig.controlHeight
    radius: 4
    color: area.pressed ? Qt.darker(backgroundColor, 1.15) : backgroundColor
    opacity: enabled ? 1 : 0.5

    Text {
        id: label
        anchors.centerIn: parent
        width: Math.min(implicitWidth, button.width - 8)
        elide: Text.ElideRight
        color: "#000"
        font.family: CusConfig.fontFamily
        font.pixelSize: CusConfig.fontPixelSize
    }
    MouseArea {
        id: area
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: button.clicked()
    }
}
