import QtQuick 2.15
import QtTest 1.2
import "qrc:/zoqml/LoginRules.js" as Rules
import "qrc:/zoqml/Page/cascade.js" as Cascade
import "qrc:/zoqml/ajax.js" as Ajax
import "qrc:/zoqml/Page/records.js" as Records

// The rules of the data centre's cascade, the spacing of the language
// buttons, the date format of the request script and the rows of the record
// pages.
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

    function test_thumbnailAddress_data() {
        return [
            { tag: "png", image: "https://data.example.com/designs/a.png",
              shown: "https://data.example.com/designs/a.png" },
            { tag: "jpg on a .com host", image: "https://img.example.com/files/a.jpg",
              shown: "https://img.example.com/uploads/wutu.png" },
            { tag: "first .com counts", image: "http://a.com.b.com/x.jpeg", shown: "http://a.com/uploads/wutu.png" },
            { tag: "jpg without .com", image: "http://127.0.0.1:8080/files/a.jpg", shown: "qrc:/images/pre_model.png" },
            { tag: "nothing deciphered", image: "", shown: "qrc:/images/pre_model.png" }
        ]
    }

    function test_thumbnailAddress(data) {
        compare(Records.thumbnailAddress(data.image), data.shown)
    }

    function test_previewOfOpenedDesign() {
        compare(Records.previewAddress("qrc:/images/pre_model.png"), "")
        compare(Records.previewAddress("http://h/designs/a.png"), "http://h/designs/a.png")
    }

    function test_savedRow() {
        var tools = {
            decrypt: function (text) { return text.replace("enc:", "") },
            time: Ajax.getLocalTime, yes: "Y", no: "N"
        }
        var record = { id: "7", name: "Door", image: "enc:http://h/designs/d.png", turl: "enc:http://h/d.pdb",
            createtime: 0, status: "hidden", password: null, share_code: "S7", content: null }
        var row = Records.savedRow(record, tools)
        compare(row.id, 7)
        compare(row.password, "")
        compare(row.shared, "N")
        compare(row.content, "")
        compare(row.createtime, "1970-01-01 00:00:00")
        verify(/^http:\/\/h\/d\.pdb\?r=\d+$/.test(row.pdb), row.pdb)
        compare(Records.savedRow({ status: "normal", password: 4001 }, tools).shared, "Y")
        compare(Records.savedRow({ status: "normal", password: 4001 }, tools).password, "4001")
    }

    function test_unnamedCropRecord() {
        var tools = { decrypt: function (text) { return text }, time: Ajax.getLocalTime }
        compare(Records.cutRow({ name: "Hood", area: 1.5 }, tools).name, "Hood")
        compare(Records.cutRow({ name: "Hood", area: 1.5 }, tools).area, "1.5")
        for (var i = 0; i < 200; ++i) {
            var name = Records.cutRow({ name: "" }, tools).name
            verify(/^[a-z1-9]{6}$/.test(name), name)
            for (var c = 0; c < 6; ++c)
                compare(name.indexOf(name[c]), c, name)
        }
    }
}
