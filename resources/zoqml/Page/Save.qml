import QtQuick 2.15
import "../zoQuick"
import "records.js" as Records

// "Saved Versions": the designs that the user saved to the cloud, which can
// be shared, no longer shared, or deleted.
RecordPage {
    id: savePage
    objectName: "savePage"
    title: qsTr("Saved Versions") + trans.transString
    listPath: "template/myTemplateNew"
    headerList: [qsTr("Name") + trans.transString, qsTr("Thumbnail") + trans.transString,
        qsTr("Share code") + trans.transString, qsTr("Identify code") + trans.transString,
        qsTr("Share or not") + trans.transString, qsTr("Creation time") + trans.transString]
    columnRoles: ["name", "thumbnail", "share_code", "password", "shared", "createtime"]
    rowOf: Records.savedRow

    function hasSelection() {
        if (selectedId !== 0)
            return true
        show(qsTr("No, please check the option you want to operate!") + trans.transString)
        return false
    }

    function remove() {
        if (!hasSelection())
            return
        var id = selectedId
        ask(qsTr("Are you sure you want to delete it?") + trans.transString, function () {
            post("template/del", [["id", id]], function (text, json) {
                if (!refused(json))
                    reload()
            })
        })
    }

    // The row is found again by its id: the table may have been reloaded
    // while the request was under way.
    function setShared(id, shared, password) {
        var index = rowIndexOf(id)
        if (index < 0)
            return
        rows.setProperty(index, "password", password)
        rows.setProperty(index, "shared", shared ? qsTr("Yes") + trans.transString : qsTr("No") + trans.transString)
    }

    function share() {
        if (!hasSelection())
            return
        var id = selectedId
        post("template/share", [["id", id], ["type", "share"]], function (text, json) {
            if (refused(json))
                return
            setShared(id, true, Records.text(json.data ? json.data.password : ""))
            show(qsTr("Shared") + trans.transString)
        })
    }

    function cancelShare() {
        if (!hasSelection())
            return
        if (rows.get(selectedIndex).password === "") {
            show(qsTr("Please select a shared data!") + trans.transString)
            return
        }
        var id = selectedId
        post("template/share", [["id", id], ["type", "unshare"]], function (text, json) {
            if (refused(json))
                return
            setShared(id, false, "")
            show(qsTr("Share has been canceled.") + trans.transString)
        })
    }

    CusButton {
        objectName: "deleteButton"
        minimumWidth: 80
        height: 30
        text: qsTr("Delete") + trans.transString
        backgroundColor: mainWindow.delete_bn_color
        textColor: "white"
        onClicked: savePage.remove()
    }
    CusButton {
        objectName: "shareButton"
        minimumWidth: 80
        height: 30
        text: qsTr("Share") + trans.transString
        backgroundColor: mainWindow.share_btn_color
        textColor: "white"
        onClicked: savePage.share()
    }
    CusButton {
        objectName: "cancelShareButton"
        minimumWidth: 130
        height: 30
        text: qsTr("Cancel share") + trans.transString
        backgroundColor: mainWindow.cancelshare_btn_color
        textColor: "white"
        onClicked: savePage.cancelShare()
    }
}
