import QtQuick 2.15
import QtTest 1.2

// "Personal Information" against the stand-in: the account shown, and the
// password change with its checks, the server's refusal and its success,
// which stores the new password and ends the program.
Item {
    width: 1350
    height: 750

    ShellTestCase {
        name: "Per"

        property var page: null
        readonly property string indexPath: "user/index"
        readonly property string changePath: "user/changepwd"

        function item(name) {
            return findChild(page, name)
        }

        function dialog() {
            return item("changePass")
        }

        // A field, button or message box of the password window.
        function field(name) {
            return findChild(dialog().contentItem, name)
        }

        function openPage() {
            signIn()
            mouseClick(findChild(shell, "menuEntry3"))
            tryVerify(function () { return findChild(shell, "perPage") !== null }, 5000)
            page = findChild(shell, "perPage")
            tryCompare(item("areaText"), "text", "125.50", 5000)
        }

        function openDialog() {
            mouseClick(item("changePasswordButton"))
            tryCompare(dialog(), "opened", true, 5000)
        }

        function fill(old, fresh, again) {
            field("oldPassword").text = old
            field("newPassword").text = fresh
            field("againPassword").text = again
        }

        function init() {
            resetBench()
            bench.setSetting("lang", "en")
            openPage()
        }

        function cleanup() {
            closeShell()
            page = null
        }

        function test_accountShown() {
            compare(item("accountText").text, "Account演示账户")
            compare(item("mobileText").text, "Mobile13800000001")
            compare(bench.requestCount(indexPath), 1)
            compare(bench.lastHeader(indexPath, "token"), bench.setting("token"))
        }

        function test_replyWithoutUserinfo_data() {
            return [
                { tag: "no userinfo", status: 200, body: JSON.stringify({ code: 1, msg: "ok", data: {} }) },
                { tag: "refused", status: 200, body: JSON.stringify({ code: 0, msg: "Sign in first", data: null }) },
                { tag: "server error", status: 500, body: "" }
            ]
        }

        function test_replyWithoutUserinfo(data) {
            // Choose the page again, now that the server answers otherwise.
            bench.cannedReply(indexPath, data.status, data.body)
            mouseClick(findChild(shell, "menuEntry0"))
            mouseClick(findChild(shell, "menuEntry3"))
            tryVerify(function () { return bench.requestCount(indexPath) === 2 }, 5000)
            page = findChild(shell, "perPage")
            wait(150)
            compare(item("areaText").text, "0.00")
            compare(item("accountText").text, "Account")
            compare(item("mobileText").text, "Mobile")
        }

        function test_refusedBeforeSending_data() {
            return [
                { tag: "no old password", fill: ["", "new1", "new1"], shown: "The input cannot be empty!" },
                { tag: "no new password", fill: ["zocut123", "", "new1"], shown: "The input cannot be empty!" },
                { tag: "no repetition", fill: ["zocut123", "new1", ""], shown: "The input cannot be empty!" },
                { tag: "mismatch", fill: ["zocut123", "new1", "new2"], shown: "Two input password is inconsistent!" },
                { tag: "letter case only", fill: ["zocut123", "Secret", "secret"],
                  shown: "Two input password is inconsistent!" }
            ]
        }

        function test_refusedBeforeSending(data) {
            openDialog()
            fill(data.fill[0], data.fill[1], data.fill[2])
            mouseClick(field("sureButton"))
            waitForMessage(field("changePassMessage"), data.shown)
            wait(150)
            compare(bench.requestCount(changePath), 0)
            compare(bench.quitRequests, 0)
        }

        function test_serverRefusesOldPassword() {
            openDialog()
            fill("wrong", "next1", "next1")
            mouseClick(field("sureButton"))
            waitForMessage(field("changePassMessage"), "The old password is wrong")
            compare(bench.setting("password"), "zocut123")
            answer(field("changePassMessage"), true)
            verify(dialog().opened)
            compare(bench.quitRequests, 0)
            // The typed texts stay for another try.
            compare(field("newPassword").text, "next1")
        }

        function test_changedPasswordStoredThenQuits() {
            openDialog()
            var fresh = "n3w+p&ss=1"
            fill("zocut123", fresh, fresh)
            mouseClick(field("sureButton"))
            waitForMessage(field("changePassDone"), "Password changed. Please sign in again.")
            var form = bench.lastForm(changePath)
            compare(form, [["oldpassword", "zocut123"], ["newpassword", fresh], ["renewpassword", fresh]])
            compare(bench.lastHeader(changePath, "token"), bench.setting("token"))
            // The next sign-in is filled with the password that now holds.
            compare(bench.setting("password"), fresh)
            compare(bench.quitRequests, 0)
            answer(field("changePassDone"), true)
            tryCompare(bench, "quitRequests", 1, 5000)
        }
    }
}
