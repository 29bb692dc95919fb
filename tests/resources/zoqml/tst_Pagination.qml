import QtQuick 2.15
import QtTest 1.2

// The pager on its own: which buttons show for 0 to 10 pages and every
// current page, which presses go through, and the page field.
Item {
    id: root
    width: 900
    height: 100

    // What the pager's buttons read from the root of the pages.
    QtObject {
        id: mainWindow
        property string page_btn_color: "#2F54EB"
    }

    TestCase {
        name: "Pagination"
        when: windowShown

        property var pager: null
        property var requests: []

        function make(items, current) {
            var component = Qt.createComponent("qrc:/zoqml/Page/Pagination.qml")
            pager = component.createObject(root, { itemCount: items, pageCurrent: current })
            verify(pager !== null)
            requests = []
            pager.requestPage.connect(function (page, count) { requests.push([page, count]) })
        }

        function cleanup() {
            if (pager)
                pager.destroy()
            pager = null
            wait(0)
        }

        // The shown buttons, left to right.
        function shownButtons() {
            return Array.prototype.filter.call(findChild(pager, "pageButtons").children, function (button) {
                return button.visible && button.text !== undefined
            }).sort(function (a, b) { return a.x - b.x })
        }

        function labels() {
            return shownButtons().map(function (button) { return String(button.text) })
        }

        function button(label) {
            return shownButtons()[labels().indexOf(label)]
        }

        function test_buttons_data() {
            var rows = []
            for (var pages = 0; pages <= 10; ++pages) {
                for (var current = 1; current <= Math.max(pages, 1); ++current)
                    rows.push({ tag: pages + " pages, on " + current, pages: pages, current: current })
            }
            return rows
        }

        // Checked against what any sound pager shows, not against a copy of
        // its rules: the first, last and current pages, at most five numbers
        // in order, and a gap exactly where numbers are left out.
        function test_buttons(data) {
            // A part-filled last page counts as a page.
            make(data.pages > 0 ? data.pages * 20 - 7 : 0, data.current)
            compare(pager.pageCount, data.pages)
            var shown = labels()
            var steps = data.pages > 1
            compare([shown[0] === "<", shown[shown.length - 1] === ">"], [steps, steps], "the steps")
            shown = steps ? shown.slice(1, -1) : shown
            var numbers = shown.filter(function (label) { return label !== "..." }).map(Number)
            compare(numbers.length, Math.min(data.pages, 5), shown)
            if (data.pages === 0)
                return
            compare([numbers[0], numbers[numbers.length - 1]], [1, data.pages], shown)
            verify(numbers.indexOf(data.current) >= 0, shown)
            for (var i = 1; i < shown.length; ++i) {
                if (shown[i] === "...") {
                    verify(shown[i - 1] !== "..." && i + 1 < shown.length, shown)
                    verify(Number(shown[i + 1]) - Number(shown[i - 1]) > 1, shown)
                } else if (shown[i - 1] !== "...") {
                    compare(Number(shown[i]) - Number(shown[i - 1]), 1, shown)
                }
            }
            shownButtons().forEach(function (button) {
                compare(button.current, Number(button.text) === data.current, shown)
            })
            if (steps) {
                compare(button("<").enabled, data.current > 1)
                compare(button(">").enabled, data.current < data.pages)
            }
        }

        function test_presses_data() {
            return [
                { tag: "a page", current: 2, press: "3", requested: [[3, 20]], now: 3 },
                { tag: "the current page", current: 2, press: "2", requested: [], now: 2 },
                { tag: "next", current: 2, press: ">", requested: [[3, 20]], now: 3 },
                { tag: "previous", current: 2, press: "<", requested: [[1, 20]], now: 1 },
                { tag: "previous on the first", current: 1, press: "<", requested: [], now: 1 },
                { tag: "next on the last", current: 7, press: ">", requested: [], now: 7 },
                { tag: "a gap", current: 4, press: "...", requested: [], now: 4 }
            ]
        }

        function test_presses(data) {
            make(7 * 20, data.current)
            mouseClick(button(data.press))
            compare(requests, data.requested)
            compare(pager.pageCurrent, data.now)
        }

        function test_pageField_data() {
            return [
                { tag: "a page", items: 60, typed: "2", requested: [[2, 20]], shown: "2" },
                { tag: "page 0", items: 60, typed: "0", requested: [[1, 20]], shown: "1" },
                { tag: "beyond the last", items: 60, typed: "999999", requested: [[3, 20]], shown: "3" },
                { tag: "no records", items: 0, typed: "5", requested: [[1, 20]], shown: "1" },
                { tag: "empty", items: 60, typed: "", requested: [], shown: "" },
                { tag: "letters refused", items: 60, typed: "x", requested: [], shown: "" }
            ]
        }

        function test_pageField(data) {
            make(data.items, 1)
            var field = findChild(pager, "pageField")
            field.text = ""
            field.forceActiveFocus()
            for (var i = 0; i < data.typed.length; ++i)
                keyClick(data.typed[i])
            keyClick(Qt.Key_Return)
            compare(requests, data.requested)
            compare(field.text, data.shown)
        }
    }
}
