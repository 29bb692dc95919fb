import QtQuick 2.15
import "zoQuick"

// The page after signing in: the title pane, the left menu and the page area.
CusBackground {
    id: mainPage
    anchors.fill: parent
    color: mainWindow.globalcolor

    property bool menuShown: true

    function showPage(source) {
        rightPane.source = source
    }

    Image {
        anchors.fill: parent
        source: "qrc:/zoimages/flower.jpg"
        fillMode: Image.PreserveAspectCrop
        opacity: 0.1
    }
    TitlePane {
        id: titlePane
        objectName: "titlePane"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: 60
        menuShown: mainPage.menuShown
        onDataCenterPressed: {
            mainPage.menuShown = true
            leftPane.current = 0
            mainPage.showPage("/zoqml/Page/Home.qml")
        }
    }
    LeftPane {
        id: leftPane
        objectName: "leftPane"
        visible: mainPage.menuShown
        anchors.left: parent.left
        anchors.top: titlePane.bottom
        anchors.bottom: parent.bottom
        width: visible ? 220 : 0
        onChosen: mainPage.showPage(source)
    }
    RightPane {
        id: rightPane
        objectName: "rightPane"
        anchors.left: leftPane.right
        anchors.leftMargin: 10
        anchors.right: parent.right
        anchors.top: titlePane.bottom
        anchors.bottom: parent.bottom
    }
}
