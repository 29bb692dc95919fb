import QtQuick 2.15
import Qt.labs.settings 1.1
import "../zoQuick"
import "../ajax.js" as Ajax

// The frame of the record pages: the title band with the search, the record
// table, the pager and the page's own buttons beside it. It loads a page of
// 20 records when it is complete, whenever the search or the pager asks, and
// again when the pages come back from the editor.
Item {
    id: recordPage
    property string title: ""
    property string listPath: ""
    property alias headerList: table.headerList
    property alias columnRoles: table.columnRoles
    property alias previewOnOpen: table.previewOnOpen
    // Makes a table row from a record of the list reply and the helpers
    // {decrypt, time, yes, no}.
    property var rowOf: null
    default property alias buttons: buttonRow.data

    // The selected record: its id (0 for none), share code and row.
    property int selectedId: 0
    property string selectedShareCode: ""
    property int selectedIndex: -1
    readonly property alias rows: rowModel
    readonly property alias pageCurrent: pager.pageCurrent
    // Only the reply to the latest list request fills the table.
    property int requestSerial: 0
    // What a "Yes" to the open question does.
    property var pendingYes: null

    Settings {
        id: settings
    }

    ListModel {
        id: rowModel
    }

    // Requests go through here so that leaving the page drops them all.
    function post(path, pairs, success) {
        Ajax.post(path, Ajax.form(pairs), settings.value("token", ""), success, function () {})
    }

    // Shows the server's words when it refused; true then.
    function refused(json) {
        if (json.code === 1)
            return false
        var msg = Ajax.message(json)
        show(msg !== "" ? msg : qsTr("The server's answer could not be read.") + trans.transString)
        return true
    }

    function show(message) {
        messageBox.show(message)
    }

    // Asks in the message box; onYes runs when the answer is "Yes".
    function ask(question, onYes) {
        pendingYes = onYes
        messageBox.ask(question)
    }

    function clearSelection() {
        selectedId = 0
        selectedShareCode = ""
        selectedIndex = -1
    }

    function select(index) {
        var row = rowModel.get(index)
        selectedId = row.id
        selectedShareCode = row.share_code !== undefined ? row.share_code : ""
        selectedIndex = index
    }

    function rowIndexOf(id) {
        for (var i = 0; i < rowModel.count; ++i) {
            if (rowModel.get(i).id === id)
                return i
        }
        return -1
    }

    function rowTools() {
        return {
            decrypt: function (text) { return $tools.mydecrypt(text) },
            time: Ajax.getLocalTime,
            yes: qsTr("Yes") + trans.transString,
            no: qsTr("No") + trans.transString
        }
    }

    function load(pageNumber, count, words) {
        clearSelection()
        rowModel.clear()
        pager.pageCurrent = pageNumber
        var serial = ++requestSerial
        post(listPath, [["keywords", words], ["limit", count], ["page", pageNumber]], function (text, json) {
            if (serial !== requestSerial || json.code !== 1 || !json.data)
                return
            pager.itemCount = Number(json.data.total) || 0
            var records = Array.isArray(json.data.data) ? json.data.data : []
            // The last records of the last page went: show the page before.
            if (records.length === 0 && pageNumber > pager.pageCount && pager.pageCount > 0) {
                load(pager.pageCount, count, words)
                return
            }
            var tools = rowTools()
            for (var i = 0; i < records.length; ++i)
                rowModel.append(rowOf(records[i], tools))
        })
    }

    function reload() {
        load(pager.pageCurrent, 20, searchField.text)
    }

    // No words list every record.
    function search() {
        load(1, 20, searchField.text)
    }

    Component.onCompleted: load(1, 20, "")
    Component.onDestruction: Ajax.abortAll()

    // Designs are saved and cut in the editor while the pages are away:
    // coming back, the user finds the records as they are now, on the page
    // and with the words that they left.
    Connections {
        target: view
        function onVisibleChanged() {
            if (view.visible)
                recordPage.reload()
        }
    }

    PageHeader {
        id: header
        y: 10
        width: parent.width
        height: 80
        color: "#F2F2F2"
        title: recordPage.title

        Row {
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.verticalCenter: parent.verticalCenter
            spacing: 10
            CusTextField {
                id: searchField
                objectName: "searchField"
                width: Math.max(180, placeholderFitWidth)
                height: 30
                font.pixelSize: 14
                placeholderText: qsTr("Please enter the information you are looking for") + trans.transString
                onAccepted: recordPage.search()
            }
            CusButton_Blue {
                objectName: "searchButton"
                minimumWidth: 80
                height: 30
                text: qsTr("Search") + trans.transString
                onClicked: recordPage.search()
            }
        }
    }

    DataQitaTableView {
        id: table
        objectName: "recordTable"
        y: 100
        width: parent.width - 10
        // Room is kept below for the pager and the buttons.
        height: Math.min(parent.height * 0.86, parent.height - y - 50 - footer.height)
        columnsWidth: width / Math.max(1, columnRoles.length)
        model: rowModel
        selectedIndex: recordPage.selectedIndex
        onSelected: recordPage.select(index)
    }

    // The pager at the left and the page's buttons at the right; where a
    // narrow window or a long translation leaves no room for both on one
    // line, the buttons go below the pager.
    Item {
        id: footer
        readonly property bool stacked: pager.width + 20 + buttonRow.width > width
        anchors.top: table.bottom
        anchors.topMargin: 40
        width: table.width
        height: stacked ? pager.height + 10 + buttonRow.height : Math.max(pager.height, buttonRow.height)
        Pagination {
            id: pager
            objectName: "pager"
            onRequestPage: recordPage.load(page, count, searchField.text)
        }
        Row {
            id: buttonRow
            x: footer.stacked ? 0 : footer.width - width
            y: footer.stacked ? pager.height + 10 : 0
            spacing: 10
        }
    }

    CusMessageBox {
        id: messageBox
        objectName: "messageBox"
        title: qsTr("Info") + trans.transString
        onAnswered: {
            var onYes = recordPage.pendingYes
            recordPage.pendingYes = null
            if (yes && onYes)
                onYes()
        }
    }
}
