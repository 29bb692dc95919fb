import QtQuick 2.15
import QtTest 1.2

// A test of the pages as the program shows them: the page tree of main.qml
// in the test's window, against the stand-in, with the probes in place of
// the program's native objects.
TestCase {
    id: testCase
    // Set once the window shows, not bound: the tests switch languages,
    // which evaluates every binding again.
    when: false

    property var shell: null

    Timer {
        interval: 10
        repeat: true
        running: true
        onTriggered: {
            if (testCase.windowShown) {
                running = false
                testCase.when = true
            }
        }
    }

    // The stand-in as its fixture has it, no settings, the probes cleared,
    // and English pages.
    function resetBench() {
        bench.reset()
        mw.reset()
        view.reset()
        databtn.reset()
        databtn1.reset()
        trans.setCurrentLang("English")
    }

    // The page tree, on its sign-in page.
    function openShell() {
        shell = Qt.createComponent("qrc:/zoqml/main.qml").createObject(parent, { width: 1350, height: 750 })
        verify(shell !== null)
    }

    function waitForSignInForm() {
        tryVerify(function () { return findChild(shell, "signInForm").visible }, 5000, "the sign-in form shows")
    }

    // Signs in with the stand-in's first account and waits for the data
    // centre.
    function signIn() {
        openShell()
        waitForSignInForm()
        findChild(shell, "accountField").text = "13800000001"
        findChild(shell, "passwordField").text = "zocut123"
        findChild(shell, "loginButton").clicked()
        tryVerify(function () { return findChild(shell, "homePage") !== null }, 5000, "signed in")
    }

    // Waits until the message box shows the text, ready to be answered.
    function waitForMessage(box, text) {
        tryCompare(box, "opened", true, 5000)
        compare(box.text, text)
        // Its buttons are laid out before anything is pressed.
        waitForRendering(box.contentItem)
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
        wait(0)
    }
}
