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

        readonly property string indexPath: "user/index"
        readonly property string changePath: "user/changepwd"

        // A field, button or message box of the password window.
        function field(name) {
            return findChild(item("changePass").contentItem, name)
        }

        // Opens the password window and presses "Sure" with these texts.
        function submit(old, fresh, again) {
            mouseClick(item("changePasswordButton"))
            tryCompare(item("changePass"), "opened", true, 5000)
            settle()
            field("oldPassword").text = old
            field("newPassword").text = fresh
            field("againPassword").text = again
            mouseClick(field("sureButton"))
        }

        function initTestCase() {
            signIn()
        }

        function init() {
            resumeSignIn()
            showPage(3, "perPage")
            tryCompare(item("areaText"), "text", "125.50", 5000)
        }

        function test_accountShown() {
            compare([item("accountText").text, item("mobileText").text], ["Account演示账户", "Mobile13800000001"])
            compare(bench.requestCount(indexPath), 1)
            compare(bench.last(indexPath).token, bench.setting("token"))
        }

        function test_replyWithoutUserinfo_data() {
            return [
                { tag: "no userinfo", status: 200, body: JSON.stringify({ code: 1, msg: "ok", data: {} }) },
                { tag: "refused", status: 200, body: JSON.stringify({ code: 0, msg: "Sign in first", data: null }) },
                { tag: "server error", status: 500, body: "" }
            ]
        }

        function test_replyWithoutUserinfo(data) {
            bench.cannedReply(indexPath, data.status, data.body)
            showPage(3, "perPage")
            waitForRequests(indexPath, 2)
            wait(150)
            compare([item("areaText").text, item("accountText").text, item("mobileText").text],
                    ["0.00", "Account", "Mobile"])
        }

        function test_refusedBeforeSending_data() {
            var empty = "The input cannot be empty!"
            var differ = "Two input password is inconsistent!"
            return [
                { tag: "no old password", fill: ["", "new1", "new1"], shown: empty },
                { tag: "no new password", fill: ["zocut123", "", "new1"], shown: empty },
                { tag: "no repetition", fill: ["zocut123", "new1", ""], shown: empty },
                { tag: "mismatch", fill: ["zocut123", "new1", "new2"], shown: differ },
                { tag: "letter case only", fill: ["zocut123", "Secret", "secret"], shown: differ }
            ]
        }

        function test_refusedBeforeSending(data) {
            submit(data.fill[0], data.fill[1], data.fill[2])
            waitForMessage(field("changePassMessage"), data.shown)
            wait(150)
            compare(bench.requestCount(changePath), 0)
            compare(bench.quitRequests, 0)
        }

        function test_serverRefusesOldPassword() {
            submit("wrong", "next1", "next1")
            waitForMessage(field("changePassMessage"), "The old password is wrong")
            compare(bench.setting("password"), "zocut123")
            answer(field("changePassMessage"), true)
            verify(item("changePass").opened)
            compare(bench.quitRequests, 0)
            // The typed texts stay for another try.
            compare(field("newPassword").text, "next1")
        }

        function test_changedPasswordStoredThenQuits() {
            var fresh = "n3w+p&ss=1"
            submit("zocut123", fresh, fresh)
            waitForMessage(field("changePassDone"), "Password changed. Please sign in again.")
            compare(bench.last(changePath).form, { oldpassword: "zocut123", newpassword: fresh, renewpassword: fresh })
            compare(bench.last(changePath).token, bench.setting("token"))
            // The next sign-in is filled with the password that now holds.
            compare(bench.setting("password"), fresh)
            compare(bench.quitRequests, 0)
            answer(field("changePassDone"), true)
            tryCompare(bench, "quitRequests", 1, 5000)
        }
    }
}
