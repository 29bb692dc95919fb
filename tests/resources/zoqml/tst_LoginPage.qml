import QtQuick 2.15
import QtTest 1.2

// The sign-in page against the stand-in: the look and languages that the
// administrator parameters prescribe, and signing in.
Item {
    width: 1350
    height: 750

    ShellTestCase {
        name: "LoginPage"
        signedIn: false

        readonly property string adminPath: "common/getAdminParams"
        readonly property string loginPath: "user/loginNewNNNN"

        // The stand-in's parameters with these fields changed (undefined
        // drops one).
        function adminParams(fields) {
            var data = { view_version: "6.4.0", globalcolor: "#FFFFFF", page_btn_color: "#2F54EB", homeicon: "",
                language: "1,2,3,4,5,6", data_language: "1,2,3", routing: 0 }
            return JSON.stringify({ code: 1, msg: "ok", data: Object.assign(data, fields) })
        }

        function signInAs(account, password) {
            item("accountField").text = account
            item("passwordField").text = password
            mouseClick(item("loginButton"))
        }

        function cleanup() {
            closeShell()
        }

        function test_languageDecision_data() {
            return [
                { tag: "English alone", offered: "2", saved: "zh_cn", lang: "English", stored: "en", calls: ["en"],
                  row: false },
                { tag: "saved Korean among three", offered: "1,2,3", saved: "ko", lang: "Korean", stored: "ko",
                  calls: ["ko"], row: true },
                { tag: "nothing saved", offered: "1,2,3", lang: "简体中文", stored: "zh_cn",
                  calls: ["zh_cn", "zh_cn"], row: true },
                { tag: "unknown saved code", offered: "3,1", saved: "fr", lang: "Russian", stored: "ru",
                  calls: ["ru", "ru"], row: true },
                { tag: "unknown index alone", offered: "8", saved: "ru", lang: "Russian", stored: "ru", calls: [],
                  row: false }
            ]
        }

        function test_languageDecision(data) {
            if (data.saved)
                bench.setSetting("lang", data.saved)
            bench.cannedReply(adminPath, 200, adminParams({ language: data.offered }))
            openShell(true)
            compare([trans.currentLang, bench.setting("lang"), item("languageRow").visible],
                    [data.lang, data.stored, data.row])
            compare(mw.languages, data.calls)
        }

        function test_dataLanguage_data() {
            return [
                { tag: "saved kept", offered: "1,3", saved: "en", expected: "en" },
                { tag: "only one offered", offered: "3", saved: "zh", expected: "ko" },
                { tag: "first offered", offered: "2,3", expected: "en" },
                { tag: "unknown index alone", offered: "9", saved: "zh", expected: "zh" }
            ]
        }

        function test_dataLanguage(data) {
            if (data.saved)
                bench.setSetting("data_lang", data.saved)
            bench.cannedReply(adminPath, 200, adminParams({ data_language: data.offered }))
            openShell(true)
            compare([shell.data_lang, bench.setting("data_lang")], [data.expected, data.expected])
            compare(shell.data_language_arr, data.offered.split(","))
        }

        function test_lookFromParameters() {
            bench.cannedReply(adminPath, 200, adminParams({ globalcolor: "", page_menu_color: "#123456", routing: 2,
                                                              login_btn_color: undefined, view_version: "",
                                                              homeicon: "images/homeicon.png" }))
            openShell(true)
            compare([shell.globalcolor, shell.login_btn_color, shell.page_siderbar_color, shell.page_btn_color,
                     shell.page_menu_color], ["#FFF", "#597EF7", "#FFF", "#2F54EB", "#123456"])
            compare(shell.homeicon, $imageHost + "images/homeicon.png")
            compare(shell.routingurl, $designHosts[2])
            verify(item("versionText").text.indexOf("6.4.0") > 0)
        }

        // Until the parameters arrive the page speaks the language saved by
        // the last run, or English, whatever the translator started with.
        function test_parametersFailureCanBeRetried_data() {
            return [
                { tag: "server error", status: 500, body: "{}", saved: "ger",
                  shown: ["WIRD GELADEN...", "Netzwerkfehler", "Erneut versuchen"] },
                { tag: "refusal", status: 200, body: JSON.stringify({ code: 0, msg: "Channel closed" }),
                  shown: ["LOADING...", "Channel closed", "Retry"] },
                { tag: "not JSON", status: 200, body: "<html>",
                  shown: ["LOADING...", "The server's answer could not be read.", "Retry"] }
            ]
        }

        function test_parametersFailureCanBeRetried(data) {
            bench.cannedReply(adminPath, data.status, data.body)
            if (data.saved)
                bench.setSetting("lang", data.saved)
            trans.setCurrentLang("简体中文")
            openShell()
            tryCompare(item("loadErrorText"), "visible", true, 5000)
            compare([item("loadingText").text, item("loadErrorText").text, item("retryButton").text], data.shown)
            verify(item("loadingText").visible)
            verify(!item("signInForm").visible)
            // A retry that fails again is seen to be tried.
            mouseClick(item("retryButton"))
            compare([item("retryBusy").visible, item("retryButton").visible, item("loadErrorText").visible],
                    [true, false, false])
            tryCompare(item("loadErrorText"), "visible", true, 5000)
            compare([bench.requestCount(adminPath), item("retryBusy").visible], [2, false])
            bench.reset()
            mouseClick(item("retryButton"))
            tryCompare(item("signInForm"), "visible", true, 5000)
            verify(!item("loadErrorText").visible)
        }

        // Shown in the language of the row. An empty field sends nothing;
        // what is sent goes as typed.
        function test_signInRefused_data() {
            return [
                { tag: "no password", account: "13800000001", password: "", lang: "Russian",
                  shown: "Неверно введено имя пользователя или пароль!" },
                { tag: "no account", account: "", password: "zocut123", lang: "Russian",
                  shown: "Неверно введено имя пользователя или пароль!" },
                { tag: "wrong password", password: "a&b=c+d%25 e", lang: "Russian", shown: "Неверный пароль" },
                { tag: "unknown account", account: "13899999999", lang: "English", shown: "Incorrect account" },
                { tag: "old version", canned: "请使用最新版本", lang: "简体中文", shown: "请使用最新版本" },
                { tag: "other message", canned: "Account locked", lang: "German", shown: "Account locked" },
                { tag: "network failure", status: 502, lang: "English", shown: "Network Error" }
            ]
        }

        function test_signInRefused(data) {
            if (data.canned || data.status) {
                bench.cannedReply(loginPath, data.status || 200,
                                  JSON.stringify({ code: 0, msg: data.canned, data: null }))
            }
            openShell(true)
            trans.setCurrentLang(data.lang)
            var account = data.account !== undefined ? data.account : "13800000001"
            var password = data.password !== undefined ? data.password : "zocut123"
            signInAs(account, password)
            tryCompare(item("errorText"), "visible", true, 5000)
            compare(item("errorText").text, data.shown)
            verify(!item("busyIndicator").visible)
            compare([mw.afterLoginCount, item("mainPage")], [0, null])
            var sent = account !== "" && password !== ""
            wait(sent ? 0 : 300)
            compare(bench.requestCount(loginPath), sent ? 1 : 0)
            compare(bench.last(loginPath).form,
                    sent ? { account: account, password: password, admin_id: "80", version: "6.4.0" } : {})
        }

        function test_signInStoresTokenBeforeAfterLogin() {
            signIn()
            verify(shell.accesstoken !== "")
            compare([mw.afterLoginCount, mw.tokenAtAfterLogin, bench.setting("token")],
                    [1, shell.accesstoken, shell.accesstoken])
            compare([bench.setting("mobile"), bench.setting("password"), String(bench.setting("id")),
                     bench.setting("lang")], ["13800000001", "zocut123", "1", "en"])
        }

        function type(field, text) {
            mouseClick(field)
            for (var i = 0; i < text.length; ++i)
                keyClick(text[i])
        }

        function test_languageButtons() {
            openShell(true)
            type(item("accountField"), "13800000001")
            type(item("passwordField"), "zocut123")
            var russian = item("languageButton3")
            mouseClick(russian)
            compare([item("accountField").text, item("passwordField").text], ["13800000001", "zocut123"])
            compare([trans.currentLang, bench.setting("lang"), mw.languages[mw.languages.length - 1]],
                    ["Russian", "ru", "ru"])
            verify(russian.checked)
            verify(!item("languageButton1").checked)
            compare(item("loginButton").text, "Войти")
            // Six buttons on a 350-pixel row never overlap.
            var buttons = [1, 2, 3, 4, 5, 6].map(function (n) { return item("languageButton" + n) })
            buttons.forEach(function (p, a) {
                buttons.slice(a + 1).forEach(function (q) {
                    verify(p.x + p.width <= q.x || q.x + q.width <= p.x || p.y + p.height <= q.y
                           || q.y + q.height <= p.y, p.objectName + " and " + q.objectName)
                })
            })
        }
    }
}
