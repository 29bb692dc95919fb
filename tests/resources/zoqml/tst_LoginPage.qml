import QtQuick 2.15
import QtTest 1.2

// The sign-in page against the stand-in: the look and languages that the
// administrator parameters prescribe, and signing in.
Item {
    width: 1350
    height: 750

    ShellTestCase {
        name: "LoginPage"

        readonly property string adminPath: "common/getAdminParams"
        readonly property string loginPath: "user/loginNewNNNN"

        function adminParams(fields) {
            var data = {
                view_version: "6.4.0", globalcolor: "#FFFFFF", page_btn_color: "#2F54EB", homeicon: "",
                language: "1,2,3,4,5,6", data_language: "1,2,3", routing: 0
            }
            for (var key in fields) {
                if (fields[key] === undefined)
                    delete data[key]
                else
                    data[key] = fields[key]
            }
            return JSON.stringify({ code: 1, msg: "ok", data: data })
        }

        function item(name) {
            return findChild(shell, name)
        }

        function openReady() {
            openShell()
            waitForSignInForm()
        }

        function init() {
            resetBench()
        }

        function cleanup() {
            closeShell()
        }

        function signInAs(account, password) {
            item("accountField").text = account
            item("passwordField").text = password
            mouseClick(item("loginButton"))
        }

        function test_languageDecision_data() {
            return [
                { tag: "English alone", offered: "2", saved: "zh_cn", lang: "English", stored: "en", calls: ["en"],
                  row: false },
                { tag: "saved Korean among three", offered: "1,2,3", saved: "ko", lang: "Korean", stored: "ko",
                  calls: ["ko"], row: true },
                { tag: "nothing saved", offered: "1,2,3", saved: undefined, lang: "简体中文", stored: "zh_cn",
                  calls: ["zh_cn", "zh_cn"], row: true },
                { tag: "unknown saved code", offered: "3,1", saved: "fr", lang: "Russian", stored: "ru",
                  calls: ["ru", "ru"], row: true },
                { tag: "unknown index alone", offered: "8", saved: "ru", lang: "English", stored: "ru", calls: [],
                  row: false }
            ]
        }

        function test_languageDecision(data) {
            if (data.saved !== undefined)
                bench.setSetting("lang", data.saved)
            bench.cannedReply(adminPath, 200, adminParams({ language: data.offered }))
            openReady()
            compare(trans.currentLang, data.lang)
            compare(bench.setting("lang"), data.stored)
            compare(mw.languages, data.calls)
            compare(item("languageRow").visible, data.row)
        }

        function test_dataLanguage_data() {
            return [
                { tag: "saved kept", offered: "1,3", saved: "en", expected: "en" },
                { tag: "only one offered", offered: "3", saved: "zh", expected: "ko" },
                { tag: "first offered", offered: "2,3", saved: undefined, expected: "en" },
                { tag: "unknown index alone", offered: "9", saved: "zh", expected: "zh" }
            ]
        }

        function test_dataLanguage(data) {
            if (data.saved !== undefined)
                bench.setSetting("data_lang", data.saved)
            bench.cannedReply(adminPath, 200, adminParams({ data_language: data.offered }))
            openReady()
            compare(shell.data_lang, data.expected)
            compare(bench.setting("data_lang"), data.expected)
            compare(shell.data_language_arr, data.offered.split(","))
        }

        function test_lookFromParameters() {
            bench.cannedReply(adminPath, 200, adminParams({
                                                               globalcolor: "", page_menu_color: "#123456",
                                                               login_btn_color: undefined, homeicon: "images/homeicon.png",
                                                               view_version: "", routing: 2
                                                           }))
            openReady()
            compare(shell.globalcolor, "#FFF")
            compare(shell.login_btn_color, "#597EF7")
            compare(shell.page_siderbar_color, "#FFF")
            compare(shell.page_btn_color, "#2F54EB")
            compare(shell.page_menu_color, "#123456")
            compare(shell.homeicon, $imageHost + "images/homeicon.png")
            compare(shell.routingurl, $designHosts[2])
            verify(item("versionText").text.indexOf("6.4.0") > 0)
        }

        function test_parametersFailureCanBeRetried_data() {
            return [
                { tag: "server error", status: 500, body: "{}", message: "Network Error" },
                { tag: "refusal", status: 200, body: JSON.stringify({ code: 0, msg: "Channel closed" }),
                  message: "Channel closed" },
                { tag: "not JSON", status: 200, body: "<html>", message: "The server's answer could not be read." }
            ]
        }

        function test_parametersFailureCanBeRetried(data) {
            bench.cannedReply(adminPath, data.status, data.body)
            openShell()
            tryCompare(item("loadErrorText"), "visible", true, 5000)
            compare(item("loadErrorText").text, data.message)
            verify(item("loadingText").visible)
            verify(!item("signInForm").visible)
            bench.reset()
            mouseClick(item("retryButton"))
            tryCompare(item("signInForm"), "visible", true, 5000)
            verify(!item("loadErrorText").visible)
        }

        function test_emptyFieldsSendNothing_data() {
            return [{ tag: "no password", account: "13800000001", password: "" },
                    { tag: "no account", account: "", password: "zocut123" }]
        }

        function test_emptyFieldsSendNothing(data) {
            openReady()
            trans.setCurrentLang("Russian")
            signInAs(data.account, data.password)
            compare(item("errorText").text, "Неверно введено имя пользователя или пароль!")
            verify(!item("busyIndicator").visible)
            wait(300)
            compare(bench.requestCount(loginPath), 0)
        }

        function test_refusalsTranslated_data() {
            return [
                { tag: "wrong password", account: "13800000001", password: "nope", lang: "Russian",
                  shown: "Неверный пароль" },
                { tag: "unknown account", account: "13899999999", password: "x", lang: "English",
                  shown: "Incorrect account" },
                { tag: "old version", canned: "请使用最新版本", lang: "简体中文", shown: "请使用最新版本" },
                { tag: "other message", canned: "Account locked", lang: "German", shown: "Account locked" }
            ]
        }

        function test_refusalsTranslated(data) {
            if (data.canned)
                bench.cannedReply(loginPath, 200, JSON.stringify({ code: 0, msg: data.canned, data: null }))
            openReady()
            trans.setCurrentLang(data.lang)
            signInAs(data.account || "13800000001", data.password || "zocut123")
            tryCompare(item("errorText"), "visible", true, 5000)
            compare(item("errorText").text, data.shown)
            verify(!item("busyIndicator").visible)
            compare(mw.afterLoginCount, 0)
            compare(findChild(shell, "mainPage"), null)
        }

        function test_networkFailureAtSignIn() {
            bench.setSetting("lang", "en")
            bench.cannedReply(loginPath, 502, "")
            openReady()
            signInAs("13800000001", "zocut123")
            tryCompare(item("errorText"), "visible", true, 5000)
            compare(item("errorText").text, "Network Error")
            verify(!item("busyIndicator").visible)
        }

        function test_passwordSentAsTyped() {
            openReady()
            signInAs("13800000001", "a&b=c+d%25 e")
            tryCompare(item("errorText"), "visible", true, 5000)
            var form = bench.lastForm(loginPath)
            compare(form.length, 4)
            compare(form[0], ["account", "13800000001"])
            compare(form[1], ["password", "a&b=c+d%25 e"])
            compare(form[2], ["admin_id", "80"])
            compare(form[3], ["version", "6.4.0"])
        }

        function test_signInStoresTokenBeforeAfterLogin() {
            openReady()
            signInAs("13800000001", "zocut123")
            tryVerify(function () { return findChild(shell, "mainPage") !== null }, 5000)
            verify(shell.accesstoken !== "")
            compare(mw.afterLoginCount, 1)
            compare(mw.tokenAtAfterLogin, shell.accesstoken)
            compare(bench.setting("token"), shell.accesstoken)
            compare(bench.setting("mobile"), "13800000001")
            compare(bench.setting("password"), "zocut123")
            compare(String(bench.setting("id")), "1")
            compare(bench.setting("lang"), "zh_cn")
            verify(findChild(shell, "homePage") !== null)
        }

        function test_languageButtons() {
            openReady()
            var russian = item("languageButton3")
            mouseClick(russian)
            compare(trans.currentLang, "Russian")
            compare(bench.setting("lang"), "ru")
            compare(mw.languages[mw.languages.length - 1], "ru")
            verify(russian.checked)
            verify(!item("languageButton1").checked)
            compare(item("loginButton").text, "Войти")
            // Six buttons on a 350-pixel row never overlap.
            for (var a = 1; a <= 6; ++a) {
                for (var b = a + 1; b <= 6; ++b) {
                    var p = item("languageButton" + a)
                    var q = item("languageButton" + b)
                    var apart = p.x + p.width <= q.x || q.x + q.width <= p.x || p.y + p.height <= q.y
                            || q.y + q.height <= p.y
                    verify(apart, "buttons " + a + " and " + b)
                }
            }
        }
    }
}
