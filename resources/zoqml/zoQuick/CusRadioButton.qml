import QtQuick 2.15

// A round mark followed by a text. Only a press on the mark counts.
Item {
    id: radio
    property alias text: label.text
    property bool checked: false
    property color checkedColor: "#597EF7"
    property alias mark: markArea
    signal clicked

    implicitWidth: 18 + 6 + label.implicitWidth
    implicitHeight: Math.max(18, label.implicitHeight)

    Rectangle {
        id: ring
        width: 18
        height: 18
        radius: 9
        anchors.verticalCenter: parent.verticalCenter
        border.color: radio.checked ? radio.checkedColor : "#9D9D9D"
        border.width: 1.5
        Rectangle {
            anchors.centerIn: parent
            width: 10
            height: 10
            radius: 5
            color: radio.checkedColor
            visible: radio.checked
        }
        MouseArea {
            id: markArea
            anchors.fill: parent
            cursorShape: Qt.PointingHandCursor
            onClicked: radio.clicked()
        }
    }
    Text {
        id: label
        anchors.left: ring.right
        anchors.leftMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        font.pixelSize: 14
    }
}
