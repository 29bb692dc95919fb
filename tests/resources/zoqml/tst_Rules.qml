import QtQuick 2.15
import QtTest 1.2
import "qrc:/zoqml/Page/cascade.js" as Cascade
import "qrc:/zoqml/ajax.js" as Ajax
import "qrc:/zoqml/Page/records.js" as Records

// The rules of the data centre's cascade, the date format of the request
// script and the rows of the record pages, where the page tests do not
// reach them.
TestCase {
    name: "Rules"

    // Where the cascade ends: a final "-" after a model or a year only.
    function test_indexKeywords() {
        var picks = ["c", "b", "s", "m", "y", "u"]
        compare([1, 2, 3, 4, 5, 6].map(function (level) { return Cascade.indexKeywords(picks, level) }),
                ["c", "c-b", "c-b-s", "c-b-s-m-", "c-b-s-m-y-", "c-b-s-m-y-u"])
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
        compare(["zh", "en", "ko", "fr"].map(function (lang) { return Cascade.templateName(template, lang) }),
                ["左前门", "front door", "앞문", null])
    }

    function test_localTime() {
        // The tests run with TZ=UTC.
        compare([0, 1700000000].map(Ajax.getLocalTime), ["1970-01-01 00:00:00", "2023-11-14 22:13:20"])
    }

    function test_thumbnailAddress_data() {
        return [
            { tag: "png", image: "https://h.example.com/d/a.png", shown: "https://h.example.com/d/a.png" },
            { tag: "jpg on a .com host", image: "https://h.example.com/d/a.jpg", shown: "https://h.example.com/uploads/wutu.png" },
            { tag: "first .com counts", image: "http://a.com.b.com/x.jpeg", shown: "http://a.com/uploads/wutu.png" },
            { tag: "jpg without .com", image: "http://127.0.0.1:8080/files/a.jpg", shown: "qrc:/images/pre_model.png" },
            { tag: "nothing deciphered", image: "", shown: "qrc:/images/pre_model.png" }
        ]
    }

    function test_thumbnailAddress(data) {
        compare(Records.thumbnailAddress(data.image), data.shown)
    }

    // Six distinct characters for a record without a name.
    function test_unnamedCropRecord() {
        for (var i = 0; i < 200; ++i) {
            var name = Records.cutRow({ name: "" }, { decrypt: String, time: String }).name
            verify(/^[a-z1-9]{6}$/.test(name) && new Set(name).size === 6, name)
        }
    }
}
