import QtQuick 2.15
import QtTest 1.2
import "qrc:/zoqml/LoginRules.js" as Rules
import "qrc:/zoqml/Page/cascade.js" as Cascade
import "qrc:/zoqml/ajax.js" as Ajax

// The rules of the data centre's cascade, the spacing of the language
// buttons and the date format of the request script.
TestCase {
    name: "Rules"

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

    function test_templateName() {
        var template = { name1: "左前门", name2: "front door", name3: "앞문" }
        compare(Cascade.templateName(template, "zh"), "左前门")
        compare(Cascade.templateName(template, "en"), "front door")
        compare(Cascade.templateName(template, "ko"), "앞문")
        compare(Cascade.templateName(template, "fr"), null)
    }

    function test_localTime() {
        // The tests run with TZ=UTC.
        compare(Ajax.getLocalTime(0), "1970-01-01 00:00:00")
        compare(Ajax.getLocalTime(1700000000), "2023-11-14 22:13:20")
    }
}
