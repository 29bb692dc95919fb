import QtQuick 2.15
import QtQuick.Controls 2.15
import "records.js" as Records

// The record table of the record pages: a header that stays in place and
// one 170-pixel row per record. A cell that holds an address shows its
// picture. A double click opens the record's design in the editor.
Item {
    id: table
    property var headerList: []
    // The row's fields shown in the columns, in order.
    property var columnRoles: []
    property real columnsWidth: 100
    property alias model: rows.model
    property int selectedIndex: -1
    // Whether an opened design keeps the row's thumbnail as its preview.
    property bool previewOnOpen: true
    signal selected(int index)

    function isAddress(value) {
        return /^(file|http|qrc)/.test(value)
    }

    function open(index) {
        var row = model.get(index)
        databtn.show()
        databtn1.show()
        view.hide()
        mw.sendfiledataImage(row.pdb, row.name, previewOnOpen ? Records.previewAddress(row.thumbnail) : "")
    }

    ListView {
        id: rows
        objectName: "recordRows"
        anchors.fill: parent
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        flickableDirection: Flickable.HorizontalAndVerticalFlick
        contentWidth: table.columnsWidth * table.columnRoles.length
        headerPositioning: ListView.OverlayHeader
        ScrollBar.vertical: ScrollBar {}
        ScrollBar.horizontal: ScrollBar {}

        header: Rectangle {
            z: 2
            width: rows.contentWidth
            height: 40
            color: "#9d9d9d"
            Row {
                Repeater {
                    model: table.headerList
                    Text {
                        width: table.columnsWidth
                        height: 40
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                        elide: Text.ElideRight
                        text: modelData
                        color: "#000"
                        font.family: "微软雅黑"
                        font.pointSize: 9
                    }
                }
            }
        }

        delegate: Rectangle {
            id: row
            objectName: "recordRow" + index
            readonly property var record: model
            width: rows.contentWidth
            height: 170
            color: index === table.selectedIndex ? "#EAF1FF" : "white"
            border.color: "black"
            border.width: 1

            Row {
                Repeater {
                    model: table.columnRoles
                    Item {
                        objectName: "cell" + index
                        readonly property string value: Records.text(row.record[modelData])
                        width: table.columnsWidth
                        height: 170
                        Image {
                            objectName: "cellImage"
                            anchors.centerIn: parent
                            width: 150
                            height: 150
                            visible: table.isAddress(parent.value)
                            source: visible ? parent.value : ""
                            fillMode: Image.PreserveAspectFit
                            asynchronous: true
                        }
                        Text {
                            objectName: "cellText"
                            anchors.centerIn: parent
                            width: parent.width - 10
                            visible: !table.isAddress(parent.value)
                            horizontalAlignment: Text.AlignHCenter
                            elide: Text.ElideRight
                            // A name is shown as typed: what looks like
                            // markup in it is no markup.
                            textFormat: Text.PlainText
                            text: parent.value
                            color: "#000"
                            font.pointSize: 10
                        }
                    }
                }
            }
            MouseArea {
                anchors.fill: parent
                onClicked: table.selected(index)
                onDoubleClicked: table.open(index)
            }
        }
    }
}
