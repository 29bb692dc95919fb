import QtQuick 2.15

// A ring of dots that turns once every 1500 ms while it is shown.
Item {
    id: indicator
    property int busyCount: 6
    property real busyRadius: 5
    property color busyColor: "#597EF7"
    property bool running: visible

    implicitWidth: 45
    implicitHeight: 45

    Item {
        id: ring
        anchors.fill: parent
        Repeater {
            model: indicator.busyCount
            Rectangle {
                readonly property real angle: 2 * Math.PI * index / indicator.busyCount
                readonly property real orbit: Math.min(ring.width, ring.height) / 2 - indicator.busyRadius
                width: 2 * indicator.busyRadius
                height: width
                radius: indicator.busyRadius
                color: indicator.busyColor
                opacity: 0.3 + 0.7 * (index + 1) / indicator.busyCount
                x: ring.width / 2 + orbit * Math.cos(angle) - indicator.busyRadius
                y: ring.height / 2 + orbit * Math.sin(angle) - indicator.busyRadius
            }
        }
        RotationAnimator on rotation {
            from: 0
            to: 360
            duration: 1500
            loops: Animation.Infinite
            running: indicator.running
        }
    }
}
