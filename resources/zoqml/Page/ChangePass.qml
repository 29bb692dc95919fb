import QtQuick 2.15
import QtQuick.Controls 2.15
import Qt.labs.settings 1.1
import "../zoQuick"
import "../ajax.js" as Ajax

// The password change: a frameless box that its title bar drags. A changed
// password ends the program, so that the user signs in with the new one.
Popup {
    id: changePass
    property bool busy: false

    parent: Overlay.overlay
    x: Math.round((parent.width - width) / 2)
    y: Math.round((parent.height - height) / 2)
    // Wider than 500 only where a translation needs it.
    width: Math.max(500, labelWidth + fieldWidth + 40)
    height: 350
    // The three rows line up: every label and every field as wide as the
    // widest needs, and never narrower than 100 and 230.
    readonly property real labelWidth: Math.max(100, oldRow.labelNeeds, newRow.labelNeeds, againRow.labelNeeds)
    readonly property real fieldWidth: Math.max(230, oldRow.fieldNeeds, newRow.fieldNeeds, againRow.fieldNeeds)
    modal: true
    padding: 0
    // Only the close mark and "Cancel" close it.
    closePolicy: Popup.NoAutoClose

    // A label and a field whose characters are hidden.
    component PasswordRow: Row {
        property alias label: label.text
        property alias hint: field.placeholderText
        property alias fieldName: field.objectName
        property alias field: field
        readonly property real labelNeeds: Math.ceil(label.implicitWidth) + 8
        readonly property real fieldNeeds: field.placeholderFitWidth
        Text {
            id: label
            width: changePass.labelWidth
            height: 40
            verticalAlignment: Text.AlignVCenter
            font.pixelSize: 14
        }
        CusTextField {
            id: field
            width: changePass.fieldWidth
            height: 40
            font.pixelSize: 14
            echoMode: TextInput.Password
        }
    }

    Settings {
        id: settings
    }

    function clear() {
        oldField.text = ""
        newField.text = ""
        againField.text = ""
    }

    function cancel() {
        clear()
        close()
    }

    function submit() {
        if (busy)
            return
        if (oldField.text === "" || newField.text === "" || againField.text === "") {
            messageBox.show(qsTr("The input cannot be empty!") + trans.transString)
            return
        }
        if (newField.text !== againField.text) {
            messageBox.show(qsTr("Two input password is inconsistent!") + trans.transString)
            return
        }
        var password = newField.text
        var body = Ajax.form([["oldpassword", oldField.text], ["newpassword", password],
                              ["renewpassword", againField.text]])
        busy = true
        Ajax.post("user/changepwd", body, settings.value("token", ""), function (text, json) {
            busy = false
            if (json.code !== 1) {
                var msg = Ajax.message(json)
                messageBox.show(msg !== "" ? msg : qsTr("The server's answer could not be read.") + trans.transString)
                return
            }
            // The sign-in form after the restart is filled from this.
            settings.setValue("password", password)
            settings.sync()
            doneBox.show(qsTr("密码修改成功,请重新登录~") + trans.transString)
        }, function () {
            busy = false
        })
    }

    Component.onDestruction: Ajax.abortAll()

    background: Rectangle {
        color: "#d9d9d9"
    }

    contentItem: Item {
        Rectangle {
            id: titleBar
            width: parent.width
            height: 50
            color: "#597EF7"
            Text {
                anchors.left: parent.left
                anchors.leftMargin: 20
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Change Password") + trans.transString
                color: "white"
                font.pixelSize: 18
            }
            MouseArea {
                property point pressedAt
                anchors.fill: parent
                onPressed: pressedAt = Qt.point(mouse.x, mouse.y)
                onPositionChanged: {
                    changePass.x += mouse.x - pressedAt.x
                    changePass.y += mouse.y - pressedAt.y
                }
            }
            Image {
                objectName: "closeMark"
                anchors.right: parent.right
                anchors.rightMargin: 15
                anchors.verticalCenter: parent.verticalCenter
                width: 20
                height: 20
                source: "qrc:/zoimages/close_gray.png"
                MouseArea {
                    anchors.fill: parent
                    cursorShape: Qt.PointingHandCursor
                    onClicked: changePass.close()
                }
            }
        }

        Column {
            anchors.top: titleBar.bottom
            anchors.topMargin: 30
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 20
            PasswordRow {
                id: oldRow
                label: qsTr("Old password:") + trans.transString
                hint: qsTr("Please enter your old password!") + trans.transString
                fieldName: "oldPassword"
            }
            PasswordRow {
                id: newRow
                label: qsTr("New password:") + trans.transString
                hint: qsTr("Please enter the new password!") + trans.transString
                fieldName: "newPassword"
            }
            PasswordRow {
                id: againRow
                label: qsTr("Enter again:") + trans.transString
                hint: qsTr("Please enter the new password!") + trans.transString
                fieldName: "againPassword"
            }
        }

        Row {
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 30
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 40
            CusButton {
                objectName: "sureButton"
                minimumWidth: 100
                height: 30
                text: qsTr("Sure") + trans.transString
                backgroundColor: "#e6f7ff"
                onClicked: changePass.submit()
            }
            CusButton {
                objectName: "cancelButton"
                minimumWidth: 100
                height: 30
                text: qsTr("Cancel") + trans.transString
                backgroundColor: "#d9d9d9"
                onClicked: changePass.cancel()
            }
        }
    }

    readonly property alias oldField: oldRow.field
    readonly property alias newField: newRow.field
    readonly property alias againField: againRow.field

    CusMessageBox {
        id: messageBox
        objectName: "changePassMessage"
        title: qsTr("Info") + trans.transString
    }

    // The account is signed out by now: whichever way this box goes, the
    // program ends.
    CusMessageBox {
        id: doneBox
        objectName: "changePassDone"
        title: qsTr("Info") + trans.transString
        onClosed: Qt.quit()
    }
}
