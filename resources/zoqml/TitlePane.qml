import QtQuick 2.15
import "zoQuick"

// The band across the top: the title and the two centre buttons.
Rectangle {
    id: pane
    color: mainWindow.page_menu_color
    property bool menuShown: true
    signal dataCenterPressed

    Text {
        anchors.left: parent.left
        anchors.leftMargin: 50
        anchors.verticalCenter: parent.verticalCenter
        text: qsTr("Specialized Vehicle Data") + trans.transString
        color: "white"
        font.pixelSize: 28
        font.bold: true
    }
    Row {
        anchors.right: parent.right
        anchors.rightMargin: 30
        anchors.verticalCenter: parent.verticalCenter
        spacing: 10
        CusButton {
            objectName: "titleDataCenter"
            minimumWidth: 120
            height: 40
            text: qsTr("Data Center") + trans.transString
            backgroundColor: pane.menuShown ? mainWindow.page_btn_color : "#dddddd"
            textColor: pane.menuShown ? "white" : "black"
            onClicked: pane.dataCenterPressed()
        }
        CusButton {
            objectName: "titleDesignCenter"
            minimumWidth: 120
            height: 40
            text: qsTr("Design center") + trans.transString
            backgroundColor: "#dddddd"
            onClicked: {
                mw.show()
                view.hide()
                databtn1.show()
                databtn.show()
            }
        }
    }
}
