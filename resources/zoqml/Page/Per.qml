import QtQuick 2.15

// The page frame of "Personal Information"; its records arrive with a later version.
Item {
    objectName: "perPage"

    PageHeader {
        y: 10
        width: parent.width
        height: 80
        color: "#f3f3f3"
        title: qsTr("Personal Information") + trans.transString
    }
}
