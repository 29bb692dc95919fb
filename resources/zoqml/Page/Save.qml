import QtQuick 2.15

// The page frame of "Saved Versions"; its records arrive with a later version.
Item {
    objectName: "savePage"

    PageHeader {
        y: 10
        width: parent.width
        height: 80
        color: "#F2F2F2"
        title: qsTr("Saved Versions") + trans.transString
    }
}
