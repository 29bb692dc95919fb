import QtQuick 2.15
import "../zoQuick"
import "pager.js" as Pager

// The pager of the record pages: the total, the page buttons and a field to
// jump to a page. It asks for pages of 20 records.
Row {
    id: pager
    property int pageCurrent: 1
    property int itemCount: 0
    readonly property int pageCount: Pager.pageCount(itemCount)
    signal requestPage(int page, int count)

    spacing: 25

    function go(target) {
        if (!Pager.accepts(target, pageCount, pageCurrent))
            return
        pageCurrent = target
        requestPage(target, Pager.pageSize)
    }

    // A typed page beyond the last (or 0) would load an empty table.
    function jump() {
        if (pageField.text === "")
            return
        var target = Pager.clamp(pageField.text, pageCount)
        pageField.text = String(target)
        requestPage(target, Pager.pageSize)
    }

    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: qsTr("total") + trans.transString
        font.pixelSize: 14
    }
    Text {
        objectName: "itemCountText"
        anchors.verticalCenter: parent.verticalCenter
        text: pager.itemCount
        font.pixelSize: 14
    }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: qsTr("item") + trans.transString
        font.pixelSize: 14
    }
    Row {
        objectName: "pageButtons"
        spacing: 5
        PageButton {
            objectName: "pagePrevious"
            text: "<"
            visible: pager.pageCount > 1
            enabled: pager.pageCurrent > 1
            onClicked: pager.go(pager.pageCurrent - 1)
        }
        PageButton {
            objectName: "pageFirst"
            text: "1"
            visible: pager.pageCount >= 1
            current: pager.pageCurrent === 1
            onClicked: pager.go(1)
        }
        PageButton {
            objectName: "gapBefore"
            text: "..."
            visible: Pager.gapBefore(pager.pageCount, pager.pageCurrent)
        }
        Repeater {
            model: Pager.middlePages(pager.pageCount, pager.pageCurrent)
            PageButton {
                objectName: "pageMiddle" + index
                text: modelData
                current: pager.pageCurrent === modelData
                onClicked: pager.go(modelData)
            }
        }
        PageButton {
            objectName: "gapAfter"
            text: "..."
            visible: Pager.gapAfter(pager.pageCount, pager.pageCurrent)
        }
        PageButton {
            objectName: "pageLast"
            text: pager.pageCount
            visible: pager.pageCount > 1
            current: pager.pageCurrent === pager.pageCount
            onClicked: pager.go(pager.pageCount)
        }
        PageButton {
            objectName: "pageNext"
            text: ">"
            visible: pager.pageCount > 1
            enabled: pager.pageCurrent < pager.pageCount
            onClicked: pager.go(pager.pageCurrent + 1)
        }
    }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: qsTr("to") + trans.transString
        font.pixelSize: 14
    }
    CusTextField {
        id: pageField
        objectName: "pageField"
        width: 70
        height: 30
        font.pixelSize: 14
        text: "1"
        validator: IntValidator {
            bottom: 0
            top: 999999
        }
        onAccepted: pager.jump()
    }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: qsTr("page") + trans.transString
        font.pixelSize: 14
    }
}
