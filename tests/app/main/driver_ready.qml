import QtQuick 2.15

// Reports when the sign-in page of the running program is shown.
Timer {
    interval: 200
    repeat: true
    running: true
    onTriggered: {
        var items = [view.contentItem]
        while (items.length > 0) {
            var item = items.pop()
            if (item.objectName === "signInForm" && item.visible) {
                console.log("driver: sign-in page shown")
                running = false
                return
            }
            for (var i = 0; i < item.children.length; ++i)
                items.push(item.children[i])
        }
    }
}
