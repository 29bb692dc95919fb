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
        function submit(texts) {
            showPage(3, "perPage")
            mouseClick(item("changePasswordButton"))
            tryCompare(item("changePass"), "opened", true, 5000)
            settle()
            field("oldPassword").text = texts[0]
            field("newPassword").text = texts[1]
            field("againPassword").text = texts[2]
            mouseClick(field("sureButton"))
        }

        // A reply without the account leaves the texts as they were.
        function test_account_data() {
            var empty = ["0.00", "Account", "Mobile"]
            return [
                { tag: "served", shown: ["125.50", "Account演示账户", "Mobile13800000001"] },
                { tag: "served in German", locale: "ger", shown: ["125,50", "Account演示账户", "Mobile13800000001"] },
                { tag: "no userinfo", body: JSON.stringify({ code: 1, msg: "ok", data: {} }), shown: empty },
                { tag: "refused", body: JSON.stringify({ code: 0, msg: "Sign in first", data: null }), shown: empty },
                { tag: "server error", status: 500, body: "", shown: empty }
            ]
        }

        function test_account(data) {
            if (data.body !== undefined)
                bench.cannedReply(indexPath, data.status || 200, data.body)
            if (data.locale)
                bench.setInterfaceLocale(data.locale)
            showPage(3, "perPage")
            waitForRequests(indexPath, 1)
            tryCompare(item("areaText"), "text", data.shown[0], 5000)
            wait(150)
            compare([item("areaText").text, item("accountText").text, item("mobileText").text], data.shown)
            compare(bench.last(indexPath).token, bench.setting("token"))
        }

        function test_refused_data() {
            var empty = "The input cannot be empty!"
            var differ = "Two input password is inconsistent!"
            return [
                { tag: "no old password", texts: ["", "new1", "new1"], shown: empty },
                { tag: "no new password", texts: ["zocut123", "", "new1"], shown: empty },
                { tag: "no repetition", texts: ["zocut123", "new1", ""], shown: empty },
                { tag: "mismatch", texts: ["zocut123", "new1", "new2"], shown: differ },
                { tag: "letter case only", texts: ["zocut123", "Secret", "secret"], shown: differ },
                { tag: "wrong old password", texts: ["wrong", "next1", "next1"], shown: "The old password is wrong",
                  sent: 1 }
            ]
        }

        // Sent only when the page has nothing against it; the window stays
        // with the typed texts for another try.
        function test_refused(data) {
            submit(data.texts)
            waitForMessage(field("changePassMessage"), data.shown)
            wait(data.sent ? 0 : 150)
            compare(bench.requestCount(changePath), data.sent || 0)
            answer(field("changePassMessage"), true)
            verify(item("changePass").opened)
            compare([field("newPassword").text, bench.setting("password"), bench.quitRequests],
                    [data.texts[1], "zocut123", 0])
        }

        function test_changedPasswordStoredThenQuits() {
            var fresh = "n3w+p&ss=1"
            submit(["zocut123", fresh, fresh])
            waitForMessage(field("changePassDone"), "Password changed. Please sign in again.")
            compare(bench.last(changePath).form, { oldpassword: "zocut123", newpassword: fresh, renewpassword: fresh })
            compare(bench.last(changePath).token, bench.setting("token"))
            // The next sign-in is filled with the password that now holds.
            compare([bench.setting("password"), bench.quitRequests], [fresh, 0])
            answer(field("changePassDone"), true)
            tryCompare(bench, "quitRequests", 1, 5000)
        }
    }
}
