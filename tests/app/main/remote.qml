import QtQuick 2.15

// Drives the program for a test that talks to it over the channel: says
// whether the pages and the sign-in page are on show, signs in as the test
// asks, in English, and either opens a template or goes to the editor with
// its new drawing, and back to the pages with "Data Center"; then answers
// the test's questions about the editor: where its buttons, tabs, dialog fields and canvas are, what the
// drawing holds, how the modal questions are to be answered, and the audits
// of the drawings. Every answer repeats the id of its question.
Item {
    id: driver
    // The sign-in under way: the question that asked for it.
    property var goal: null
    property int phase: 0
    property int level: 1
    // Each level's pick, in the data languages the stand-in serves.
    readonly property var picks: [["轿车", "Car"], ["A 奥迪", "A Audi"], ["A4"], ["A4L"], ["2020"], ["豪华型", "Luxury"]]

    function find(name) {
        for (var items = [view.contentItem]; items.length > 0;) {
            var item = items.pop()
            if (item.objectName === name)
                return item
            for (var i = 0; i < item.children.length; ++i)
                items.push(item.children[i])
        }
        return null
    }

    function reply(id, fields) {
        fields.id = id
        channel.send(fields)
    }

    function handle(message) {
        var id = message.id
        if (["ping", "layout", "state", "widget", "page"].indexOf(message["do"]) < 0)
            console.log("driver: " + JSON.stringify(message))
        switch (message["do"]) {
        case "ping":
            return reply(id, {})
        case "page":
            var form = find("signInForm")
            return reply(id, { signIn: form !== null && form.visible, shown: view.visible })
        case "dataCenter":
            databtn.click()
            return reply(id, {})
        case "signIn":
            goal = message
            phase = 0
            level = 1
            return
        case "layout":
            return reply(id, {
                canvas: widgets.canvasRect(),
                buttons: widgets.toolButtons(),
                tabs: widgets.tabs(),
                tabArrows: widgets.tabScrollButtons()
            })
        case "state":
            return reply(id, { state: widgets.documentState() })
        case "widget":
            return reply(id, widgets.widget(message.name))
        case "answer":
            prompts.answerWith(message.button, message.dialog)
            return reply(id, {})
        case "stray":
            return reply(id, { problems: audit.strayItems() })
        case "roundTrip":
            return reply(id, { problems: audit.undoRedoRoundTrip() })
        }
        reply(id, { error: "no such question: " + message["do"] })
    }

    function signIn() {
        var form = find("signInForm")
        if (!form || !form.visible)
            return false
        find("languageButton2").clicked()
        find("accountField").text = goal.account
        find("passwordField").text = goal.password
        find("loginButton").clicked()
        return true
    }

    function signedIn() {
        if (find("homePage") === null)
            return false
        if (!goal.template)
            find("titleDesignCenter").clicked()
        return true
    }

    function pick() {
        var selector = find("selector" + level)
        var wanted = picks[level - 1]
        var entry = selector ? selector.entries.filter(function (e) { return wanted.indexOf(e.val) >= 0 })[0] : null
        if (entry) {
            selector.picked(entry)
            ++level
        }
        if (level <= picks.length)
            return false
        var table = find("templateTable")
        if (!table || table.model.count === 0)
            return false
        table.opened(0)
        return true
    }

    function inEditor() {
        return !view.visible && mw.currentTabText !== ""
            && (!goal.template || mw.currentTabText.indexOf("New File") !== 0)
    }

    function advance() {
        var phases = goal.template ? [signIn, signedIn, pick, inEditor] : [signIn, signedIn, inEditor]
        if (phases[phase]() && ++phase === phases.length) {
            console.log("driver: in the editor, tab " + mw.currentTabText)
            reply(goal.id, { tab: mw.currentTabText })
            goal = null
        }
    }

    Connections {
        target: channel
        function onReceived(message) {
            driver.handle(message)
        }
    }

    Timer {
        interval: 200
        repeat: true
        running: driver.goal !== null
        onTriggered: driver.advance()
    }
}
