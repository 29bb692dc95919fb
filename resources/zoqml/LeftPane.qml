import QtQuick 2.15

// The left menu: one entry per page of the page area.
Rectangle {
    id: pane
    color: mainWindow.page_siderbar_color
    property int current: 0
    signal chosen(string source)

    readonly property var entries: [
        { text: "Data Center", source: "/zoqml/Page/Home.qml" },
        { text: "Saved Versions", source: "/zoqml/Page/Save.qml" },
        { text: "Crop Records", source: "/zoqml/Page/Cut.qml" },
        { text: "Personal Information", source: "/zoqml/Page/Per.qml" }
    ]

    Rectangle {
        anchors.top: parent.top
        width: parent.width
        height: 1
        color: "#f5f5f5"
    }
    Rectangle {
        anchors.right: parent.right
        width: 1
        height: parent.height
        color: "black"
    }
    Column {
        anchors.top: parent.top
        anchors.topMargin: 1
        width: parent.width - 1
        spacing: 4
        Repeater {
            model: pane.entries
            Rectangle {
                objectName: "menuEntry" + index
                width: parent.width
                height: 50
                color: pane.current === index ? mainWindow.page_btn_color : "transparent"
                opacity: pane.current === index ? 0.8 : 1
                Text {
                    anchors.centerIn: parent
                    text: qsTr(modelData.text) + trans.transString
                    color: pane.current === index ? "white" : "black"
                    font.pixelSize: 16
                }
                MouseArea {
                    anchors.fill: parent
                    cursorShape: Qt.PointingHandCursor
                    onClicked: {
                        pane.current = index
                        pane.chosen(modelData.source)
                    }
                }
            }
        }
    }
}
