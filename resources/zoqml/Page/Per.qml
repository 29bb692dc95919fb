import QtQuick 2.15
import Qt.labs.settings 1.1
import "../zoQuick"
import "../ajax.js" as Ajax
import "numbers.js" as Numbers

// "Personal Information": the signed-in account's available area, name and
// mobile number, and the way to change its password.
Item {
    id: perPage
    objectName: "perPage"

    property string area: Numbers.shown("0.00")
    property string username: ""
    property string mobile: ""

    Settings {
        id: settings
    }

    function loadAccount() {
        Ajax.post("user/index", "", settings.value("token", ""), function (text, json) {
            var info = json.data ? json.data.userinfo : undefined
            if (!info)
                return
            if (info.area !== undefined && info.area !== null)
                area = Numbers.shown(info.area)
            if (info.username !== undefined && info.username !== null)
                username = String(info.username)
            if (info.mobile !== undefined && info.mobile !== null)
                mobile = String(info.mobile)
        }, function () {})
    }

    Component.onCompleted: loadAccount()
    Component.onDestruction: Ajax.abortAll()

    PageHeader {
        id: header
        y: 10
        width: parent.width
        height: 80
        color: "#f3f3f3"
        title: qsTr("Personal Information") + trans.transString
    }

    // A box with a grey heading above what it holds.
    component Panel: Rectangle {
        property alias title: heading.text
        default property alias content: body.data
        color: "#f5f5f5"
        border.color: "#d9d9d9"
        Rectangle {
            id: headingBar
            width: parent.width
            height: 40
            color: "#cacaca"
            Text {
                id: heading
                anchors.left: parent.left
                anchors.leftMargin: 15
                anchors.verticalCenter: parent.verticalCenter
                font.pixelSize: 16
            }
        }
        Item {
            id: body
            anchors.top: headingBar.bottom
            anchors.bottom: parent.bottom
            anchors.left: parent.left
            anchors.leftMargin: 15
            anchors.right: parent.right
        }
    }

    Panel {
        id: areaPanel
        anchors.top: header.bottom
        anchors.topMargin: 20
        width: parent.width / 2
        height: 140
        title: qsTr("Current available area (m2)") + trans.transString
        Text {
            objectName: "areaText"
            height: parent.height
            verticalAlignment: Text.AlignVCenter
            text: perPage.area
            color: "#f42121"
            font.pixelSize: 32
        }
    }

    Panel {
        anchors.top: areaPanel.bottom
        anchors.topMargin: 20
        width: parent.width - 10
        height: 200
        title: qsTr("Account Information") + trans.transString
        Column {
            anchors.top: parent.top
            anchors.topMargin: 20
            spacing: 20
            Text {
                objectName: "accountText"
                text: qsTr("Account") + trans.transString + perPage.username
                font.pixelSize: 16
            }
            Text {
                objectName: "mobileText"
                text: qsTr("Mobile") + trans.transString + perPage.mobile
                font.pixelSize: 16
            }
            CusButton {
                objectName: "changePasswordButton"
                minimumWidth: 200
                height: 30
                text: qsTr("Change Password") + trans.transString
                backgroundColor: mainWindow.page_btn_color
                textColor: "white"
                onClicked: changePass.open()
            }
        }
    }

    ChangePass {
        id: changePass
        objectName: "changePass"
    }
}
