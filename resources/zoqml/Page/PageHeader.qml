import QtQuick 2.15

// The band at the top of a page: a bar in the look colour and the title.
Rectangle {
    property alias title: label.text
    height: 70
    color: "#F2F2F2"

    Rectangle {
        id: bar
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        width: 5
        height: 40
        color: mainWindow.page_btn_color
    }
    Text {
        id: label
        anchors.left: bar.right
        anchors.leftMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        font.pixelSize: 20
    }
}
