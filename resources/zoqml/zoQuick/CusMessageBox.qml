import QtQuick 2.15
import QtQuick.Controls 2.15

// A modal message with a question mark: a notice with a single "Yes"
// button, or a question with "Yes" and "No".
Popup {
    id: box
    property string title: "Info"
    property string text: ""
    property bool asking: false
    // Only from the buttons; Escape closes without an answer.
    signal answered(bool yes)

    function show(message) {
        asking = false
        text = message
        open()
    }

    function ask(question) {
        asking = true
        text = question
        open()
    }

    function answer(yes) {
        close()
        answered(yes)
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 380
    padding: 0
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        color: "white"
        border.color: "#9D9D9D"
        radius: 4
    }
    contentItem: Column {
        Rectangle {
            width: box.width
            height: 36
            color: "#F2F2F2"
            Text {
                anchors.left: parent.left
                anchors.leftMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                text: box.title
                font.pixelSize: 15
            }
        }
        Row {
            padding: 18
            spacing: 14
            Rectangle {
                width: 32
                height: 32
                radius: 16
                color: "#597EF7"
                Text {
                    anchors.centerIn: parent
                    text: "?"
                    color: "white"
                    font.pixelSize: 20
                    font.bold: true
                }
            }
            Text {
                objectName: "messageText"
                width: box.width - 100
                anchors.verticalCenter: parent.verticalCenter
                wrapMode: Text.Wrap
                text: box.text
                font.pixelSize: 14
            }
        }
        Item {
            width: box.width
            height: 50
            Row {
                anchors.right: parent.right
                anchors.rightMargin: 14
                spacing: 10
                CusButton {
                    objectName: "messageYes"
                    minimumWidth: 80
                    text: qsTr("Yes") + trans.transString
                    onClicked: box.answer(true)
                }
                CusButton {
                    objectName: "messageNo"
                    minimumWidth: 80
                    visible: box.asking
                    text: qsTr("No") + trans.transString
                    onClicked: box.answer(false)
                }
            }
        }
    }
}
