import QtQuick 2.15

// A page background that keeps presses from reaching what lies beneath it.
Rectangle {
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }
}
