import QtQuick 2.15
import "cascade.js" as Cascade

// One selector of the cascade: the picked value, and a drop-down list of the
// entries {"val", "id"} offered for its level. The brand selector also has a
// letter index beside its list.
Item {
    id: selector
    property int level: 1
    property var entries: []
    property var shown: entries
    property int highlighted: -1
    property bool open: false
    property string text: placeholder
    readonly property string placeholder: qsTr("Select option...") + trans.transString
    property var letters: []
    property int letterHighlighted: -1
    signal pressed
    signal picked(var entry)
    signal letterPicked(string letter)

    function reset() {
        entries = []
        shown = Qt.binding(function () { return entries })
        highlighted = -1
        text = Qt.binding(function () { return placeholder })
        open = false
        letters = []
        letterHighlighted = -1
    }

    height: 50
    z: open ? 100 : 0

    Rectangle {
        anchors.fill: parent
        color: "white"
        border.color: open ? mainWindow.page_btn_color : "#CCCCCC"
        radius: 3
        Text {
            objectName: "selectorText"
            anchors.left: parent.left
            anchors.leftMargin: 12
            anchors.right: mark.left
            // Right-to-left text ends at the right edge: it keeps the gap
            // that left-to-right text keeps from the left border.
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            elide: Text.ElideRight
            text: selector.text
            color: "black"
            font.pixelSize: 15
        }
        Image {
            id: mark
            objectName: "selectorArrow"
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            width: 24
            height: 24
            source: mainWindow.homeicon
        }
        MouseArea {
            anchors.fill: parent
            cursorShape: Qt.PointingHandCursor
            onClicked: selector.pressed()
        }
    }

    Rectangle {
        anchors.top: parent.bottom
        width: parent.width
        height: 350
        visible: selector.open
        color: "#DADADA"
    }
    Row {
        anchors.top: parent.bottom
        width: parent.width
        height: 350
        visible: selector.open

        ListView {
            objectName: "letterIndex"
            visible: selector.letters.length > 0
            width: visible ? 50 : 0
            height: parent.height
            clip: true
            model: selector.letters
            delegate: Rectangle {
                width: 50
                height: 45
                color: selector.letterHighlighted === index ? mainWindow.page_btn_color : mainWindow.page_siderbar_color
                Text {
                    anchors.centerIn: parent
                    text: modelData
                    color: selector.letterHighlighted === index ? "white" : "black"
                    font.pixelSize: 15
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        selector.letterHighlighted = index
                        selector.letterPicked(modelData)
                    }
                }
            }
        }
        ListView {
            objectName: "entryList"
            width: parent.width - (selector.letters.length > 0 ? 50 : 0)
            height: parent.height
            clip: true
            model: selector.shown
            delegate: Rectangle {
                width: ListView.view.width
                height: 45
                color: selector.highlighted === index ? mainWindow.page_btn_color : "#DADADA"
                Text {
                    anchors.left: parent.left
                    anchors.leftMargin: 12
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    elide: Text.ElideRight
                    text: Cascade.shownValue(selector.level, modelData.val)
                    color: selector.highlighted === index ? "white" : "black"
                    font.pixelSize: 15
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        selector.highlighted = index
                        selector.picked(modelData)
                    }
                }
            }
        }
    }
}
