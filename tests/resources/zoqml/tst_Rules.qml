import QtQuick 2.15
import QtTest 1.2
import "qrc:/zoqml/LoginRules.js" as Rules
import "qrc:/zoqml/Page/cascade.js" as Cascade
import "qrc:/zoqml/ajax.js" as Ajax

// The decision tables of the sign-in page and the data centre, and the form
// encoding of the requests.
TestCase {
    name: "Rules"

    function codeOf(language) {
        return language ? language.code : null
    }

    function test_interfaceLanguage_data() {
        return [
            { tag: "only English offered", offered: "2", saved: "zh_cn", apply: "en", store: "en", again: false },
            { tag: "saved code wins among several", offered: "1,2,3", saved: "ko", apply: "ko", store: null,
              again: false },
            { tag: "nothing saved", offered: "1,2,3", saved: "", apply: "zh_cn", store: "zh_cn", again: true },
            { tag: "unknown saved code", offered: "3,1", saved: "fr", apply: "ru", store: "ru", again: true },
            { tag: "only an unknown index", offered: "7", saved: "ru", apply: null, store: "ru", again: false },
            { tag: "only index, nothing saved", offered: "6", saved: undefined, apply: "ger", store: "ger",
              again: false }
        ]
    }

    function test_interfaceLanguage(data) {
        var decision = Rules.interfaceLanguage(Rules.split(data.offered), data.saved)
        compare(codeOf(decision.apply), data.apply)
        compare(decision.store, data.store)
        compare(decision.again, data.again)
    }

    function test_dataLanguage_data() {
        return [
            { tag: "saved kept among several", offered: "1,3", saved: "en", expected: "en" },
            { tag: "the only one wins", offered: "3", saved: "zh", expected: "ko" },
            { tag: "first offered without a saved one", offered: "2,3", saved: "", expected: "en" },
            { tag: "unknown only index keeps saved", offered: "9", saved: "zh", expected: "zh" }
        ]
    }

    function test_dataLanguage(data) {
        compare(Rules.dataLanguage(Rules.split(data.offered), data.saved), data.expected)
    }

    function test_lookColour_data() {
        return [
            { tag: "given", name: "page_btn_color", data: { page_btn_color: "red" }, expected: "red" },
            { tag: "missing page colour", name: "page_btn_color", data: {}, expected: "#597EF7" },
            { tag: "empty background", name: "globalcolor", data: { globalcolor: "" }, expected: "#FFF" },
            { tag: "missing side bar", name: "page_siderbar_color", data: {}, expected: "#FFF" },
            { tag: "null button", name: "delete_bn_color", data: { delete_bn_color: null }, expected: "#597EF7" }
        ]
    }

    function test_lookColour(data) {
        compare(Rules.lookColour(data.data, data.name), data.expected)
    }

    function test_buttonSpacingNeverOverlaps() {
        compare(Rules.buttonSpacing(2), 190)
        compare(Rules.buttonSpacing(3), 55)
        for (var n = 2; n <= 6; ++n)
            verify(Rules.buttonSpacing(n) >= 12, "spacing for " + n)
    }

    function test_keywords_data() {
        var picks = ["c", "b", "s", "m", "y", "u"]
        return [
            { tag: "category", level: 1, picks: picks, category: "c-", index: "c" },
            { tag: "brand", level: 2, picks: picks, category: "c-b-", index: "c-b" },
            { tag: "series", level: 3, picks: picks, category: "c-b-s-", index: "c-b-s" },
            { tag: "model", level: 4, picks: picks, category: "c-b-s-m-", index: "c-b-s-m-" },
            { tag: "year", level: 5, picks: picks, category: "c-b-s-m-y-", index: "c-b-s-m-y-" },
            { tag: "submodel", level: 6, picks: picks, category: "c-b-s-m-y-u-", index: "c-b-s-m-y-u" }
        ]
    }

    function test_keywords(data) {
        compare(Cascade.categoryKeywords(data.picks, data.level), data.category)
        compare(Cascade.indexKeywords(data.picks, data.level), data.index)
    }

    function test_offersEntries_data() {
        return [
            { tag: "entries", json: { code: 1, data: [{ val: "A", id: 1 }] }, expected: true },
            { tag: "empty list", json: { code: 1, data: [] }, expected: false },
            { tag: "first value empty", json: { code: 1, data: [{ val: "", id: 1 }] }, expected: false },
            { tag: "refusal", json: { code: 0, data: [{ val: "A", id: 1 }] }, expected: false },
            { tag: "not a list", json: { code: 1, data: {} }, expected: false },
            { tag: "no reply", json: {}, expected: false }
        ]
    }

    function test_offersEntries(data) {
        compare(Cascade.offersEntries(data.json), data.expected)
    }

    function test_brandLetters() {
        var brands = [{ val: "A Audi" }, { val: "A Alfa Romeo" }, { val: "B BMW" }]
        compare(Cascade.letters(brands), ["A", "B"])
        compare(Cascade.startingWith(brands, "A").length, 2)
        compare(Cascade.shownValue(2, "A Audi"), "Audi")
        compare(Cascade.shownValue(3, "A4"), "A4")
    }

    function test_templateName() {
        var template = { name1: "左前门", name2: "front door", name3: "앞문" }
        compare(Cascade.templateName(template, "zh"), "左前门")
        compare(Cascade.templateName(template, "en"), "front door")
        compare(Cascade.templateName(template, "ko"), "앞문")
        compare(Cascade.templateName(template, "fr"), null)
    }

    function test_formEncodesEveryValue() {
        compare(Ajax.form([["password", "a&b=c+d%e f"], ["admin_id", 80]]),
                "password=a%26b%3Dc%2Bd%25e%20f&admin_id=80")
        compare(Ajax.form([["keywords", ""], ["name", undefined]]), "keywords=&name=")
    }

    function test_localTime() {
        // The tests run with TZ=UTC.
        compare(Ajax.getLocalTime(0), "1970-01-01 00:00:00")
        compare(Ajax.getLocalTime(1700000000), "2023-11-14 22:13:20")
    }
}
