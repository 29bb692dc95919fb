import QtQuick 2.15

// The template that the picks lead to: its thumbnail, name, area and remark.
Item {
    id: table
    property alias model: rows.model
    signal opened(int index)

    readonly property font headerFont: Qt.font({ pixelSize: 15 })
    // The remark column takes the width that its heading needs, beyond its
    // tenth of the table, from the name column.
    readonly property real remarkWidth: Math.max(width * 0.1, Math.ceil(remarkHeading.advanceWidth) + 12)
    readonly property var columnWidths: [width * 0.3, width * 0.5 - remarkWidth, width * 0.2, remarkWidth]

    TextMetrics {
        id: remarkHeading
        font: table.headerFont
        text: qsTr("Remarks Information") + trans.transString
    }

    Rectangle {
        id: header
        width: parent.width
        height: 40
        color: "#9D9D9D"
        Row {
            anchors.fill: parent
            Repeater {
                model: ["Thumbnail", "Name", "Area", "Remarks Information"]
                Item {
                    width: table.columnWidths[index]
                    height: header.height
                    Text {
                        anchors.centerIn: parent
                        width: parent.width - 8
                        horizontalAlignment: Text.AlignHCenter
                        elide: Text.ElideRight
                        text: qsTr(modelData) + trans.transString
                        color: "white"
                        font: table.headerFont
                    }
                }
            }
        }
    }
    ListView {
        id: rows
        objectName: "templateRows"
        anchors.top: header.bottom
        width: parent.width
        height: parent.height - header.height
        clip: true
        delegate: Rectangle {
            objectName: "templateRow" + index
            width: rows.width
            height: 230
            color: "#F2F2F2"
            Row {
                anchors.fill: parent
                Item {
                    width: table.columnWidths[0]
                    height: parent.height
                    Image {
                        objectName: "thumbnail"
                        anchors.centerIn: parent
                        width: 230
                        height: 230
                        fillMode: Image.PreserveAspectFit
                        asynchronous: true
                        source: model.thumbnail
                    }
                }
                Repeater {
                    model: [name, area, remark]
                    Item {
                        width: table.columnWidths[index + 1]
                        height: 230
                        Text {
                            anchors.centerIn: parent
                            width: parent.width - 10
                            horizontalAlignment: Text.AlignHCenter
                            elide: Text.ElideRight
                            text: modelData
                            color: "#787878"
                            font.pixelSize: 15
                        }
                    }
                }
            }
            MouseArea {
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: table.opened(index)
            }
        }
    }
}
