import QtQuick 2.15
import QtQuick.Window 2.15
import QtTest 1.2

// A test of the pages as the program shows them: the page tree of main.qml
// in the test's window, against the stand-in, with the probes in place of
// the program's native objects.
TestCase {
    id: testCase
    // Set once the window shows, not bound: the tests switch languages,
    // which evaluates every binding again.
    when: false

    // Whether the tests of the file share one shell, signed in once;
    // otherwise each test opens its own.
    property bool signedIn: true
    property var shell: null
    // The page under test, which item() searches.
    property var page: null

    Timer {
        interval: 10
        repeat: true
        running: !testCase.when
        onTriggered: testCase.when = testCase.windowShown
    }

    function item(name) {
        return findChild(page || shell, name)
    }

    // The probes cleared, and English pages.
    function resetProbes() {
        mw.reset()
        view.reset()
        databtn.reset()
        databtn1.reset()
        trans.setCurrentLang("English")
    }

    // The page tree, on its sign-in page once ready is given.
    function openShell(ready) {
        shell = Qt.createComponent("qrc:/zoqml/main.qml").createObject(parent, { width: 1350, height: 750 })
        verify(shell !== null)
        page = null
        if (ready) {
            tryVerify(function () { return item("signInForm").visible }, 5000, "the sign-in form shows")
            settle()
        }
    }

    // Signs in with the stand-in's first account, with English pages, and
    // waits for the data centre.
    function signIn() {
        bench.reset()
        resetProbes()
        bench.setSetting("lang", "en")
        openShell(true)
        item("accountField").text = "13800000001"
        item("passwordField").text = "zocut123"
        item("loginButton").clicked()
        tryVerify(function () { return item("homePage") !== null }, 5000, "signed in")
        bench.keepSignIn()
    }

    // The page goes at once, and with it the requests it made.
    function dropPage() {
        page = null
        item("rightPane").source = ""
        wait(0)
    }

    // Everything as just after signIn(), without signing in again.
    function resumeSignIn() {
        // Nothing that the page asked for reaches the reset journal.
        dropPage()
        shell.accesstoken = bench.resetSignedIn()
        shell.data_lang = bench.setting("data_lang")
        resetProbes()
    }

    // Loads the page of the menu entry afresh.
    function showPage(entry, name) {
        dropPage()
        mouseClick(item("menuEntry" + entry))
        tryVerify(function () { return item(name) !== null }, 5000, name)
        page = item(name)
        settle()
    }

    function waitForRequests(path, count) {
        tryVerify(function () { return bench.requestCount(path) >= count }, 5000, path)
    }

    // Waits for a frame of the window, which lays out what changed: rows and
    // columns place their items only then, and a press goes by the places.
    function settle() {
        testCase.Window.window.update()
        waitForRendering(testCase)
    }

    // Waits until the message box shows the text, ready to be answered.
    function waitForMessage(box, text) {
        tryCompare(box, "opened", true, 5000)
        compare(box.text, text)
        settle()
    }

    // Presses "Yes" (or "No") in the message box.
    function answer(box, yes) {
        mouseClick(findChild(box.contentItem, yes ? "messageYes" : "messageNo"))
        tryCompare(box, "opened", false, 5000)
    }

    function closeShell() {
        if (shell)
            shell.destroy()
        shell = null
        page = null
        wait(0)
    }

    function initTestCase() {
        if (signedIn)
            signIn()
    }

    function init() {
        if (signedIn) {
            resumeSignIn()
        } else {
            bench.reset()
            resetProbes()
        }
    }

    function cleanupTestCase() {
        closeShell()
    }
}
