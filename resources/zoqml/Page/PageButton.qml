import QtQuick 2.15

// One button of the pager: a page number, a step ("<", ">") or a gap ("...").
Rectangle {
    id: button
    property string text: ""
    property bool current: false
    signal clicked

    width: 30
    height: 30
    radius: 3
    border.color: "#d9d9d9"
    color: "white"
    opacity: enabled ? 1 : 0.4

    Text {
        anchors.centerIn: parent
        text: button.text
        color: button.current ? mainWindow.page_btn_color : "#666666"
        font.pixelSize: 14
    }
    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: button.clicked()
    }
}
