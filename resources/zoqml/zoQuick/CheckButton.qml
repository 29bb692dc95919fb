import QtQuick 2.15

// A mark followed by a text; pressing either checks it.
Item {
    id: check
    property alias text: label.text
    property bool checked: false
    signal clicked

    implicitWidth: mark.width + 6 + label.implicitWidth
    implicitHeight: Math.max(mark.height, label.implicitHeight)

    Image {
        id: mark
        width: 15
        height: 15
        anchors.verticalCenter: parent.verticalCenter
        source: check.checked ? "qrc:/zoimages/icon_choose.png" : "qrc:/zoimages/icon_choose_not.png"
    }
    Text {
        id: label
        anchors.left: mark.right
        anchors.leftMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        font.pixelSize: 16
        color: "white"
    }
    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: check.clicked()
    }
}
