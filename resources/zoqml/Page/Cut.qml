import QtQuick 2.15

// The page frame of "Crop Records"; its records arrive with a later version.
Item {
    objectName: "cutPage"

    PageHeader {
        y: 10
        width: parent.width
        height: 80
        color: "#F2F2F2"
        title: qsTr("Crop Records") + trans.transString
    }
}
