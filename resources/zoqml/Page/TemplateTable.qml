import QtQuick 2.15

// The template that the picks lead to: its thumbnail, name, area and remark.
Item {
    id: table
    property alias model: rows.model
    signal opened(int index)

    Rectangle {
        id: header
        width: parent.width
        height: 40
        color: "#9D9D9D"
        Row {
            anchors.fill: parent
            Repeater {
                model: [{ text: "Thumbnail", share: 0.3 }, { text: "Name", share: 0.4 }, { text: "Area", share: 0.2 },
                    { text: "Remarks Information", share: 0.1 }]
                Item {
                    width: header.width * modelData.share
                    height: header.height
                    Text {
                        anchors.centerIn: parent
                        width: parent.width - 8
                        horizontalAlignment: Text.AlignHCenter
                        elide: Text.ElideRight
                        text: qsTr(modelData.text) + trans.transString
                        color: "white"
                        font.pixelSize: 15
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
                    width: parent.width * 0.3
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
                    model: [{ text: name, share: 0.4 }, { text: area, share: 0.2 }, { text: remark, share: 0.1 }]
                    Item {
                        width: rows.width * modelData.share
                        height: 230
                        Text {
                            anchors.centerIn: parent
                            width: parent.width - 10
                            horizontalAlignment: Text.AlignHCenter
                            elide: Text.ElideRight
                            text: modelData.text
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
