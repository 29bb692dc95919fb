import QtQuick 2.15

// Drives the pages of the running program as a person would: signs in with
// the stand-in's first account in German, narrows the data centre down to a template
// and opens it, then comes back through "Data Center" and reopens the newest
// saved version, and tells where the rectangle tool and the canvas are.
// Once the test has drawn there, it opens a new drawing and runs the editing
// commands in turn: those on the toolbars it announces for the test to
// press, key or draw with the pointer, the hidden ones it calls, and once
// the drawing shows what each did it tells what the drawing holds. Every
// step goes to the program's log as "driver: ...". Nothing waits for a
// time: each step waits for what it needs to see, and gives up when nothing
// moves on for a long while.
Timer {
    id: driver
    property int step: 0
    property int level: 1
    property string savedName: ""
    readonly property int patienceMs: 180000
    property double deadline: Date.now() + patienceMs
    property string located: ""
    property int command: 0
    property string before: ""
    // What the drawing held after each command, first one first.
    property var afters: []
    // "act" is what the test does with the pointer or keys; "slot" what the
    // driver calls first; "file" the name that the file dialog chooses.
    // Button names are the German ones shown.
    readonly property var commands: [
        { name: "ctrl+a", act: "key" },
        { name: "New", slot: "fileNew" },
        { name: "Rectangle", act: "draw" },
        { name: "Circle", act: "draw" },
        { name: "rectangle", act: "click" },
        { name: "Bring to Front", slot: "layertop" },
        { name: "ctrl+a", act: "key" },
        { name: "Align Left", slot: "alignleft" },
        { name: "Combine", act: "press" },
        { name: "Ungroup", act: "press" },
        { name: "Mirror", act: "draw" },
        { name: "Undo", act: "press" },
        { name: "Redo", act: "press" },
        { name: "ctrl+a", act: "key" },
        { name: "Mirror Bottom", slot: "mirrorbottom" },
        { name: "Bottom", act: "press" },
        { name: "Union", act: "press" },
        { name: "Undo", act: "press" },
        { name: "ctrl+a", act: "key" },
        { name: "Löschen", act: "press" },
        { name: "Undo", act: "press" },
        { name: "Zoom In", slot: "zoomin", act: "click" },
        { name: "Zoom Out", slot: "zoomout", act: "click" },
        { name: "Save As", slot: "fileSaveAs", file: "drawing.svg" },
        { name: "PNG", slot: "fileSaveASPng", file: "drawing.png" }
    ]
    // The pieces that a command leaves: mirroring copies the pieces beside
    // them; the union makes one piece of each overlapping pair.
    readonly property var pieceCounts: ({ "New": 0, "Rectangle": 1, "Circle": 2, "Combine": 1, "Ungroup": 2,
        "Mirror": 4, "Union": 2, "Löschen": 0 })
    readonly property var picks: ["轿车", "A 奥迪", "A4", "A4L", "2020", "豪华型"]

    function log(text) {
        console.log("driver: " + text)
        return true
    }

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

    // Each step acts once what it waits for shows, and says whether it did.
    function signIn() {
        var form = find("signInForm")
        if (!form || !form.visible)
            return false
        log("sign-in page shown")
        find("languageButton6").clicked()
        find("accountField").text = "13800000001"
        find("passwordField").text = "zocut123"
        find("loginButton").clicked()
        return true
    }

    function signedIn() {
        return find("homePage") !== null && log("signed in") && log("page buttons " + databtn.text + "|" + databtn1.text)
    }

    // One level at a time, once its selector offers the pick.
    function pick() {
        var selector = find("selector" + level)
        var entry = selector ? selector.entries.filter(function (e) { return e.val === picks[level - 1] })[0] : null
        if (entry) {
            selector.picked(entry)
            ++level
        }
        return level > picks.length
    }

    function openTemplate() {
        var table = find("templateTable")
        if (!table || table.model.count === 0)
            return false
        table.opened(0)
        return true
    }

    function backToData() {
        if (view.visible || mw.currentTabText === "" || mw.currentTabText.indexOf("New File") === 0)
            return false
        log("opened " + mw.currentTabText)
        databtn.click()
        return true
    }

    function openSaved() {
        if (!view.visible)
            return false
        var menu = find("leftPane")
        menu.current = 1
        menu.chosen("/zoqml/Page/Save.qml")
        return true
    }

    function reopen() {
        var records = find("recordTable")
        if (!records || records.model.count === 0)
            return false
        savedName = records.model.get(0).name
        records.open(0)
        return true
    }

    function reopened() {
        return !view.visible && mw.currentTabText === savedName && log("reopened " + savedName)
    }

    // Where a person would pick the rectangle tool and draw, once the window
    // shows every button that the commands press; the test moves the pointer
    // there itself.
    function locate() {
        for (var i = 0; i < commands.length; ++i) {
            var c = commands[i]
            if ((c.act === "press" || c.act === "draw") && widgets.buttonRect(c.name) === "")
                return false
        }
        var tool = widgets.buttonRect("Rectangle")
        var canvas = widgets.canvasRect()
        located = widgets.documentState()
        return tool !== "" && canvas !== "" && log("rectangle tool at " + tool) && log("canvas at " + canvas)
    }

    // The test's rectangle is on the canvas: the window is the test's now.
    function drawn() {
        return number(widgets.documentState(), "pieces") !== number(located, "pieces")
    }

    // A field of a drawing's state "pieces P selected S first F scale Z text
    // H idle I".
    function field(state, name) {
        var words = state.split(" ")
        var at = words.indexOf(name)
        return at < 0 ? "" : words[at + 1]
    }

    function number(state, name) {
        return Number(field(state, name))
    }

    // Whether the drawing shows what the command does to the one before it,
    // with no mouse button held (the test checks the same once told).
    function done(c, was, now) {
        if (field(now, "idle") !== "1")
            return false
        if (pieceCounts[c.name] !== undefined)
            return number(now, "pieces") === pieceCounts[c.name]
        if (c.name === "Undo" || c.name === "Redo")
            return afters.length > 1 && field(now, "text") === field(afters[afters.length - 2], "text")
        if (c.name === "rectangle")
            return number(now, "selected") === 1 && number(now, "first") === 0
        if (c.name === "ctrl+a")
            return number(now, "selected") > Math.max(1, number(was, "selected"))
        if (c.name === "Zoom In" || c.name === "Zoom Out")
            return (number(now, "scale") > number(was, "scale")) === (c.name === "Zoom In")
                && number(now, "scale") !== number(was, "scale") && field(now, "text") === field(was, "text")
        if (c.name === "Save As")
            return mw.currentTabText.indexOf("drawing") === 0
        // The picture is written before the slot returns.
        if (c.name === "PNG")
            return true
        return field(now, "pieces") === field(was, "pieces") && field(now, "text") !== field(was, "text")
    }

    // Starts a command, then waits until the drawing shows that it has done
    // its work: after a person's act, for those that have one.
    function run() {
        var c = commands[command]
        var tag = "#" + command + " "
        if (before === "") {
            before = widgets.documentState()
            if (c.file)
                prompts.chooseFile(c.file)
            if (c.slot)
                mw[c.slot]()
            var at = c.act === "press" || c.act === "draw" ? " at " + widgets.buttonRect(c.name) : ""
            return c.act && log(tag + c.act + " " + c.name + at) && false
        }
        var now = widgets.documentState()
        if (!done(c, before, now))
            return false
        log(tag + "after " + c.name + ": " + now + " tab " + mw.currentTabText)
        afters.push(now)
        before = ""
        deadline = Date.now() + patienceMs
        return ++command === commands.length && log("commands done")
    }

    interval: 200
    repeat: true
    running: true
    onTriggered: {
        var steps = [signIn, signedIn, pick, openTemplate, backToData, openSaved, reopen, reopened, locate, drawn, run]
        if (Date.now() > deadline) {
            var waiting = steps[step] === run ? " (#" + command + " " + commands[command].name + ": "
                + widgets.documentState() + ")" : ""
            log("gave up at step " + step + waiting)
            running = false
        } else if (steps[step]()) {
            deadline = Date.now() + patienceMs
            if (++step === steps.length)
                running = false
        }
    }
}
