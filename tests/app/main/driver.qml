import QtQuick 2.15

// Drives the pages of the running program as a person would: signs in with
// the stand-in's first account, narrows the data centre down to a template
// and opens it, then comes back through "Data Center" and reopens the newest
// saved version. Every step goes to the program's log as "driver: ...".
Item {
    id: driver
    property int step: 0
    readonly property int done: 13
    property string savedName: ""
    readonly property double deadline: Date.now() + 120000
    readonly property var picks: ["轿车", "A 奥迪", "A4", "A4L", "2020", "豪华型"]

    function find(item, name) {
        if (!item)
            return null
        if (item.objectName === name)
            return item
        for (var i = 0; i < item.children.length; ++i) {
            var found = find(item.children[i], name)
            if (found)
                return found
        }
        return null
    }

    function entryNamed(selector, val) {
        for (var i = 0; i < selector.entries.length; ++i) {
            if (selector.entries[i].val === val)
                return selector.entries[i]
        }
        return null
    }

    function advance() {
        var root = view.contentItem
        if (step === 0) {
            var form = find(root, "signInForm")
            if (!form || !form.visible)
                return
            console.log("driver: sign-in page shown")
            find(root, "accountField").text = "13800000001"
            find(root, "passwordField").text = "zocut123"
            find(root, "loginButton").clicked()
            step = 1
        } else if (step === 1) {
            if (!find(root, "homePage"))
                return
            console.log("driver: signed in")
            step = 2
        } else if (step <= 7) {
            var level = step - 1
            var selector = find(root, "selector" + level)
            var entry = selector ? entryNamed(selector, picks[level - 1]) : null
            if (!entry)
                return
            selector.picked(entry)
            step += 1
        } else if (step === 8) {
            var table = find(root, "templateTable")
            if (!table || table.model.count === 0)
                return
            console.log("driver: template found")
            table.opened(0)
            step = 9
        } else if (step === 9) {
            if (view.visible || mw.windowTitle === "")
                return
            console.log("driver: opened " + mw.windowTitle)
            databtn.click()
            step = 10
        } else if (step === 10) {
            if (!view.visible)
                return
            var menu = find(root, "leftPane")
            menu.current = 1
            menu.chosen("/zoqml/Page/Save.qml")
            step = 11
        } else if (step === 11) {
            var records = find(root, "recordTable")
            if (!records || records.model.count === 0)
                return
            savedName = records.model.get(0).name
            records.open(0)
            step = 12
        } else if (step === 12) {
            if (view.visible || mw.windowTitle !== savedName)
                return
            console.log("driver: reopened " + savedName)
            step = 13
        }
    }

    Timer {
        interval: 200
        repeat: true
        running: driver.step < driver.done
        onTriggered: {
            if (Date.now() > driver.deadline) {
                console.log("driver: gave up at step " + driver.step)
                driver.step = driver.done
                return
            }
            driver.advance()
        }
    }
}
