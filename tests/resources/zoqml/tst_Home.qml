import QtQuick 2.15
import QtTest 1.2

// The data centre against the stand-in's catalogue: the six cascading
// selectors, the keywords they send, the result and opening a template.
Item {
    width: 1350
    height: 750

    ShellTestCase {
        name: "Home"

        property var home: null
        readonly property string categoryPath: "template_new/category"
        readonly property string indexPath: "template_new/index"
        readonly property string viewPath: "template_new/view"

        function item(name) {
            return findChild(home, name)
        }

        function selector(level) {
            return item("selector" + level)
        }

        function entryNamed(level, val) {
            var entries = selector(level).entries
            for (var i = 0; i < entries.length; ++i) {
                if (entries[i].val === val)
                    return entries[i]
            }
            return null
        }

        // Picks val at the level once the selector offers it.
        function pick(level, val) {
            tryVerify(function () { return entryNamed(level, val) !== null }, 5000, "level " + level + " offers " + val)
            selector(level).picked(entryNamed(level, val))
        }

        // Presses the result row once the list has made it.
        function pressResult() {
            tryCompare(item("templateRows"), "count", 1, 5000)
            tryVerify(function () { return item("templateRow0") !== null }, 5000)
            mouseClick(item("templateRow0"))
        }

        function waitForRequests(path, count) {
            tryVerify(function () { return bench.requestCount(path) >= count }, 5000, path)
        }

        function init() {
            resetBench()
            bench.setSetting("lang", "en")
            signIn()
            home = findChild(shell, "homePage")
            tryVerify(function () { return selector(1).entries.length > 0 }, 5000)
        }

        function cleanup() {
            closeShell()
            home = null
        }

        function test_sixLevels() {
            compare(shell.data_lang, "zh")
            var path = ["轿车", "A 奥迪", "A4", "A4L", "2020", "豪华型"]
            var expected = ["轿车-", "轿车-A 奥迪-", "轿车-A 奥迪-A4-", "轿车-A 奥迪-A4-A4L-", "轿车-A 奥迪-A4-A4L-2020-"]
            for (var level = 1; level <= 5; ++level) {
                pick(level, path[level - 1])
                waitForRequests(categoryPath, level + 1)
                var sent = bench.lastJson(categoryPath)
                compare(sent.keywords, expected[level - 1])
                compare(sent.cate, ["brand", "series", "model", "year", "submodel"][level - 1])
                compare(sent.lang, "zh")
                compare(bench.lastHeader(categoryPath, "token"), shell.accesstoken)
            }
            compare(selector(2).text, "奥迪")
            pick(6, "豪华型")
            waitForRequests(indexPath, 1)
            compare(bench.lastJson(indexPath).keywords, "轿车-A 奥迪-A4-A4L-2020-豪华型")
            var rows = item("templateRows")
            tryCompare(rows, "count", 1, 5000)
            var row = rows.model.get(0)
            compare(row.name, "奥迪 A4L 2020 豪华型 左前门")
            compare(row.id, 501)
            verify(row.thumbnail.indexOf(shell.routingurl + "designs/door_front_left.png?timestamp=") === 0)
            verify(row.pdb.indexOf(shell.routingurl + "designs/door_front_left.pdb?timestamp=") === 0)
            compare(row.area, "1.85")
            // The thumbnail comes from the design host.
            tryVerify(function () { return item("thumbnail") !== null }, 5000)
            tryCompare(item("thumbnail"), "status", Image.Ready, 5000)
        }

        function test_cascadeEndsEarly_data() {
            return [
                { tag: "category without brands", path: ["摩托车"], keywords: "摩托车" },
                { tag: "series without models", path: ["SUV", "T 丰田", "RAV4"], keywords: "SUV-T 丰田-RAV4" },
                { tag: "year without submodels", path: ["轿车", "A 奥迪", "A4", "A4L", "2021"],
                  keywords: "轿车-A 奥迪-A4-A4L-2021-" }
            ]
        }

        function test_cascadeEndsEarly(data) {
            for (var level = 1; level <= data.path.length; ++level)
                pick(level, data.path[level - 1])
            waitForRequests(indexPath, 1)
            compare(bench.lastJson(indexPath).keywords, data.keywords)
            tryCompare(item("templateRows"), "count", 1, 5000)
        }

        function test_listsBelowKeptWhenNothingOffered() {
            pick(1, "轿车")
            tryVerify(function () { return selector(2).entries.length === 3 })
            pick(1, "摩托车")
            waitForRequests(indexPath, 1)
            tryCompare(item("templateRows"), "count", 1, 5000)
            compare(selector(2).entries.length, 3)
        }

        function test_brandLetters() {
            pick(1, "轿车")
            tryVerify(function () { return selector(2).entries.length === 3 })
            compare(selector(2).letters, ["A", "B"])
            selector(2).letterPicked("B")
            compare(selector(2).shown.length, 1)
            compare(selector(2).shown[0].val, "B 宝马")
            selector(2).letterPicked("A")
            compare(selector(2).shown.length, 2)
            // A new category brings the whole brand list back.
            pick(1, "SUV")
            tryVerify(function () { return selector(2).shown.length === 1 && selector(2).letters[0] === "T" })
        }

        function test_newPickResetsLowerLevels() {
            pick(1, "轿车")
            pick(2, "A 奥迪")
            pick(3, "A4")
            tryVerify(function () { return selector(4).entries.length > 0 })
            pick(2, "B 宝马")
            tryVerify(function () { return entryNamed(3, "3系") !== null })
            compare(selector(4).entries.length, 0)
            compare(selector(4).text, "Select option...")
        }

        function test_staleReplyDropped() {
            // The reply for "轿车" comes late, after the one for "SUV".
            bench.delayNext(categoryPath, 800)
            selector(1).picked(entryNamed(1, "轿车"))
            selector(1).picked(entryNamed(1, "SUV"))
            waitForRequests(categoryPath, 3)
            tryVerify(function () { return entryNamed(2, "T 丰田") !== null }, 5000)
            wait(1200)
            compare(selector(2).entries.length, 1)
            compare(selector(2).entries[0].val, "T 丰田")
            compare(selector(1).text, "SUV")
        }

        function test_dataLanguageSwitch() {
            pick(1, "轿车")
            tryVerify(function () { return selector(2).entries.length === 3 })
            mouseClick(item("dataLanguage_en").mark)
            compare(shell.data_lang, "en")
            compare(bench.setting("data_lang"), "en")
            tryVerify(function () { return entryNamed(1, "Car") !== null }, 5000)
            // The shown picks stay until the next pick.
            compare(selector(1).text, "轿车")
            compare(selector(2).entries.length, 3)
            pick(1, "Car")
            tryVerify(function () { return entryNamed(2, "A Audi") !== null }, 5000)
        }

        function test_openTemplate() {
            pick(1, "摩托车")
            pressResult()
            tryCompare(mw, "opened", [[item("templateRows").model.get(0).pdb, "摩托车 挡泥板"]], 5000)
            compare(bench.lastJson(viewPath).id, 508)
            compare(databtn.shown, 1)
            compare(databtn1.shown, 1)
            compare(view.hidden, 1)
        }

        function test_viewRefused_data() {
            return [
                { tag: "views used up", body: { code: 0, msg: "今日查看次数已用完" }, lang: "简体中文",
                  shown: "今日查看次数已用完！" },
                { tag: "views used up in English", body: { code: 0, msg: "x" }, lang: "English",
                  shown: "Today's views have been exhausted！" },
                { tag: "other refusal", body: { code: 3, msg: "Template withdrawn" }, lang: "English",
                  shown: "Template withdrawn" }
            ]
        }

        function test_viewRefused(data) {
            bench.cannedReply(viewPath, 200, JSON.stringify(data.body))
            trans.setCurrentLang(data.lang)
            pick(1, "摩托车")
            pressResult()
            var box = item("messageBox")
            tryCompare(box, "opened", true, 5000)
            compare(box.text, data.shown)
            compare(mw.opened.length, 0)
            compare(view.hidden, 0)
        }
    }
}
