import QtQuick 2.15
import QtTest 1.2

// The data centre against the stand-in's catalogue: the six cascading
// selectors, the keywords they send, the result and opening a template.
Item {
    width: 1350
    height: 750

    ShellTestCase {
        name: "Home"

        readonly property string categoryPath: "template_new/category"
        readonly property string indexPath: "template_new/index"
        readonly property string viewPath: "template_new/view"

        function selector(level) {
            return item("selector" + level)
        }

        function entryNamed(level, val) {
            return selector(level).entries.filter(function (entry) { return entry.val === val })[0] || null
        }

        // Picks val at the level once the selector offers it.
        function pick(level, val) {
            tryVerify(function () { return entryNamed(level, val) !== null }, 5000, "level " + level + " offers " + val)
            selector(level).picked(entryNamed(level, val))
        }

        // Picks the path from the first level on and waits for the result.
        function pickTemplate(path) {
            for (var level = 1; level <= path.length; ++level)
                pick(level, path[level - 1])
            waitForRequests(indexPath, 1)
            tryCompare(item("templateRows"), "count", 1, 5000)
        }

        function init() {
            resumeSignIn()
            showPage(0, "homePage")
            tryVerify(function () { return selector(1).entries.length > 0 }, 5000)
        }

        function test_sixLevels() {
            compare(shell.data_lang, "zh")
            var path = ["轿车", "A 奥迪", "A4", "A4L", "2020"]
            var cates = ["brand", "series", "model", "year", "submodel"]
            var keywords = ["轿车-", "轿车-A 奥迪-", "轿车-A 奥迪-A4-", "轿车-A 奥迪-A4-A4L-",
                            "轿车-A 奥迪-A4-A4L-2020-"]
            for (var level = 1; level <= 5; ++level) {
                pick(level, path[level - 1])
                waitForRequests(categoryPath, level + 1)
                var sent = bench.last(categoryPath)
                compare(sent.json, { cate: cates[level - 1], keywords: keywords[level - 1], lang: "zh" })
                compare(sent.token, shell.accesstoken)
            }
            compare(selector(2).text, "奥迪")
            pickTemplate(["轿车", "A 奥迪", "A4", "A4L", "2020", "豪华型"])
            compare(bench.last(indexPath).json.keywords, "轿车-A 奥迪-A4-A4L-2020-豪华型")
            var row = item("templateRows").model.get(0)
            compare([row.name, row.id, row.area], ["奥迪 A4L 2020 豪华型 左前门", 501, "1.85"])
            verify(row.thumbnail.indexOf(shell.routingurl + "designs/door_front_left.png?timestamp=") === 0)
            verify(row.pdb.indexOf(shell.routingurl + "designs/door_front_left.pdb?timestamp=") === 0)
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
            pickTemplate(data.path)
            compare(bench.last(indexPath).json.keywords, data.keywords)
        }

        function test_brands() {
            pick(1, "轿车")
            tryCompare(selector(2), "letters", ["A", "B"], 5000)
            selector(2).letterPicked("B")
            compare(selector(2).shown.map(function (entry) { return entry.val }), ["B 宝马"])
            selector(2).letterPicked("A")
            compare(selector(2).shown.length, 2)
            // A category without brands leaves none of the cars' brands.
            pickTemplate(["摩托车"])
            compare([selector(2).entries.length, selector(2).letters.length], [0, 0])
            // One with brands brings its whole list.
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
            compare([selector(4).entries.length, selector(4).text], [0, "Select option..."])
        }

        // A new pick empties the levels below it at once, and a late reply
        // for the old pick fills none of them.
        function test_lowerLevelsFollowNewPick_data() {
            return [
                { tag: "category while a brand's models are asked", path: ["轿车", "A 奥迪"], held: true,
                  level: 1, val: "摩托车" },
                { tag: "year after its submodels came", path: ["轿车", "A 奥迪", "A4", "A4L", "2020"], level: 5,
                  val: "2021" }
            ]
        }

        function test_lowerLevelsFollowNewPick(data) {
            var last = data.path.length
            for (var level = 1; level < last; ++level)
                pick(level, data.path[level - 1])
            if (data.held)
                bench.delayNext(categoryPath, 300)
            pick(last, data.path[last - 1])
            waitForRequests(categoryPath, last + 1)
            if (!data.held)
                tryVerify(function () { return selector(last + 1).entries.length > 0 }, 5000)
            // The new pick's template comes well after the held reply.
            bench.delayNext(indexPath, 600)
            selector(data.level).picked(entryNamed(data.level, data.val))
            var below = function () {
                var shown = []
                for (var level = data.level + 1; level <= 6; ++level)
                    shown.push([selector(level).entries.length, selector(level).letters.length, selector(level).text])
                return shown
            }
            var empty = below().map(function () { return [0, 0, "Select option..."] })
            compare(below(), empty)
            tryCompare(item("templateRows"), "count", 1, 5000)
            compare(below(), empty)
        }

        function test_staleReplyDropped() {
            // The reply for "轿车" comes late, after the one for "SUV"; it
            // reaches the stand-in first, which holds it back.
            bench.delayNext(categoryPath, 800)
            selector(1).picked(entryNamed(1, "轿车"))
            waitForRequests(categoryPath, 2)
            selector(1).picked(entryNamed(1, "SUV"))
            waitForRequests(categoryPath, 3)
            tryVerify(function () { return entryNamed(2, "T 丰田") !== null }, 5000)
            wait(1200)
            compare(selector(2).entries.map(function (entry) { return entry.val }), ["T 丰田"])
            compare(selector(1).text, "SUV")
        }

        function test_dataLanguageSwitch() {
            pickTemplate(["SUV", "T 丰田", "RAV4"])
            mouseClick(item("dataLanguage_en").mark)
            compare([shell.data_lang, bench.setting("data_lang")], ["en", "en"])
            tryVerify(function () { return entryNamed(1, "Car") !== null }, 5000)
            // Nothing picked in the old language stays, the category neither.
            var below = []
            for (var level = 2; level <= 6; ++level)
                below.push([selector(level).entries.length, selector(level).letters.length, selector(level).text])
            compare(below, below.map(function () { return [0, 0, "Select option..."] }))
            compare(selector(1).text, "Select option...")
            compare(item("templateRows").count, 0)
            pick(1, "Car")
            tryVerify(function () { return entryNamed(2, "A Audi") !== null }, 5000)
        }

        // The view is counted before the template opens; a refusal shows
        // instead and opens nothing.
        function test_openTemplate_data() {
            return [
                { tag: "opened" },
                { tag: "views used up", body: { code: 0, msg: "今日查看次数已用完" }, lang: "简体中文",
                  shown: "今日查看次数已用完！" },
                { tag: "views used up in English", body: { code: 0, msg: "x" }, lang: "English",
                  shown: "Today's views have been exhausted！" },
                { tag: "other refusal", body: { code: 3, msg: "Template withdrawn" }, lang: "English",
                  shown: "Template withdrawn" }
            ]
        }

        function test_openTemplate(data) {
            if (data.body) {
                bench.cannedReply(viewPath, 200, JSON.stringify(data.body))
                trans.setCurrentLang(data.lang)
            }
            pickTemplate(["摩托车"])
            tryVerify(function () { return item("templateRow0") !== null }, 5000)
            mouseClick(item("templateRow0"))
            waitForRequests(viewPath, 1)
            compare(bench.last(viewPath).json.id, 508)
            if (data.shown)
                waitForMessage(item("messageBox"), data.shown)
            else
                tryCompare(mw, "opened", [[item("templateRows").model.get(0).pdb, "摩托车 挡泥板"]], 5000)
            var opened = data.shown ? 0 : 1
            compare([mw.opened.length, databtn.shown, databtn1.shown, view.hidden], [opened, opened, opened, opened])
        }
    }
}
