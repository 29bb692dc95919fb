import QtQuick 2.15
import QtTest 1.2

// "Saved Versions" and "Crop Records" against the stand-in, signed in with
// its first account (45 saved versions, 23 crop records): the pages of 20,
// the thumbnails, sharing, deleting and opening a record in the editor.
Item {
    width: 1350
    height: 750

    ShellTestCase {
        name: "RecordPages"

        property var page: null
        readonly property string savedPath: "template/myTemplateNew"
        readonly property string cutPath: "template/cutlogNew"
        readonly property string sharePath: "template/share"
        readonly property string deletePath: "template/del"

        function item(name) {
            return findChild(page, name)
        }

        // Chooses the menu entry and waits for the first page of records.
        function openPage(entry, name, path) {
            mouseClick(findChild(shell, "menuEntry" + entry))
            tryVerify(function () { return findChild(shell, name) !== null }, 5000)
            page = findChild(shell, name)
            waitForRows(path, 1)
        }

        function openSaved() {
            openPage(1, "savePage", savedPath)
        }

        function waitForRows(path, requests) {
            tryVerify(function () { return bench.requestCount(path) >= requests }, 5000, path)
            tryVerify(function () { return page.rows.count > 0 }, 5000, "rows of " + path)
        }

        function row(index) {
            return page.rows.get(index)
        }

        function rowItem(index) {
            var rows = item("recordRows")
            rows.positionViewAtIndex(index, ListView.Beginning)
            tryVerify(function () { return item("recordRow" + index) !== null }, 5000)
            return item("recordRow" + index)
        }

        function select(index) {
            mouseClick(rowItem(index))
            compare(page.selectedIndex, index)
        }

        function pressPage(label) {
            var buttons = findChild(item("pager"), "pageButtons").children
            for (var i = 0; i < buttons.length; ++i) {
                if (buttons[i].visible && String(buttons[i].text) === label) {
                    mouseClick(buttons[i])
                    return
                }
            }
            fail("no page button " + label)
        }

        function messageShown(text) {
            waitForMessage(item("messageBox"), text)
        }

        function formOf(path) {
            var fields = {}
            bench.lastForm(path).forEach(function (field) { fields[field[0]] = field[1] })
            return fields
        }

        function init() {
            resetBench()
            bench.setSetting("lang", "en")
            signIn()
        }

        function cleanup() {
            closeShell()
            page = null
        }

        function test_firstPageOfSavedVersions() {
            openSaved()
            compare(page.rows.count, 20)
            compare(formOf(savedPath), { keywords: "", limit: "20", page: "1" })
            compare(bench.lastHeader(savedPath, "token"), bench.setting("token"))
            var pager = item("pager")
            compare([pager.itemCount, pager.pageCount, pager.pageCurrent], [45, 3, 1])
            var first = row(0)
            compare([first.name, first.id, first.share_code, first.password, first.shared],
                    ["方案 45", 1045, "SC001045", "4045", "Yes"])
            compare([row(1).password, row(1).shared], ["", "No"])
            verify(/^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$/.test(first.createtime), first.createtime)
            verify(/^http:\/\/127\.0\.0\.1:\d+\/designs\/[a-z_]+\.pdb\?r=\d+$/.test(first.pdb), first.pdb)
            verify(/^http:\/\/127\.0\.0\.1:\d+\/designs\/[a-z_]+\.png$/.test(first.thumbnail), first.thumbnail)
        }

        // The thumbnails come from the design host; a ".jpg" picture on a
        // host without a placeholder of its own shows the program's own.
        function test_doubleClickOpensInEditor_data() {
            return [
                { tag: "saved version", entry: 1, name: "savePage", path: savedPath, row: 1, preview: true },
                { tag: "saved version with a jpg", entry: 1, name: "savePage", path: savedPath, row: 2,
                  thumbnail: "qrc:/images/pre_model.png", preview: false },
                { tag: "crop record", entry: 2, name: "cutPage", path: cutPath, row: 1, preview: false }
            ]
        }

        function test_doubleClickOpensInEditor(data) {
            openPage(data.entry, data.name, data.path)
            var opened = row(data.row)
            if (data.thumbnail)
                compare(opened.thumbnail, data.thumbnail)
            var image = findChild(findChild(rowItem(data.row), "cell1"), "cellImage")
            tryCompare(image, "status", Image.Ready, 5000)
            mouseDoubleClick(rowItem(data.row))
            compare(mw.opened, [[opened.pdb, opened.name, data.preview ? opened.thumbnail : ""]])
            compare(databtn.shown, 1)
            compare(databtn1.shown, 1)
            compare(view.hidden, 1)
        }

        function test_cropRecords() {
            openPage(2, "cutPage", cutPath)
            compare(page.rows.count, 20)
            compare(item("pager").itemCount, 23)
            compare(row(0).name, "Cut 23")
            compare(row(0).area, "5.75")
            // Every fourth record has no name and gets one made up.
            compare(row(3).name.length, 6)
            pressPage("2")
            waitForRows(cutPath, 2)
            compare(formOf(cutPath).page, "2")
            tryCompare(page.rows, "count", 3, 5000)
            compare(row(0).name, "Cut 3")
        }

        function test_deleteOnSecondPage() {
            openSaved()
            pressPage("2")
            waitForRows(savedPath, 2)
            tryCompare(row(0), "name", "方案 25", 5000)
            select(4)
            var removed = row(4).id
            mouseClick(item("deleteButton"))
            messageShown("Are you sure you want to delete it?")
            verify(findChild(item("messageBox").contentItem, "messageNo").visible)
            answer(item("messageBox"), true)
            tryVerify(function () { return bench.requestCount(deletePath) === 1 }, 5000)
            compare(formOf(deletePath), { id: String(removed) })
            // Page 2 again, with 20 records of the 44 left.
            waitForRows(savedPath, 3)
            compare(formOf(savedPath).page, "2")
            tryCompare(item("pager"), "itemCount", 44, 5000)
            tryCompare(page.rows, "count", 20, 5000)
            compare(page.rowIndexOf(removed), -1)
            // Nothing stays selected that the highlight no longer shows.
            compare(page.selectedId, 0)
            compare(page.selectedIndex, -1)
            compare(item("messageBox").opened, false)
        }

        function test_nothingSelected_data() {
            return [{ tag: "delete", button: "deleteButton" }, { tag: "share", button: "shareButton" },
                    { tag: "cancel share", button: "cancelShareButton" }]
        }

        function test_nothingSelected(data) {
            openSaved()
            mouseClick(item(data.button))
            messageShown("No, please check the option you want to operate!")
            wait(150)
            compare(bench.requestCount(sharePath) + bench.requestCount(deletePath), 0)
        }

        function test_shareAndCancel() {
            openSaved()
            select(1)
            compare(row(1).name, "Version 44")
            // Never shared: nothing to cancel.
            mouseClick(item("cancelShareButton"))
            messageShown("Please select a shared data!")
            answer(item("messageBox"), true)
            compare(bench.requestCount(sharePath), 0)

            mouseClick(item("shareButton"))
            messageShown("Shared")
            compare(formOf(sharePath), { id: "1044", type: "share" })
            compare(row(1).shared, "Yes")
            compare(row(1).password, "2044")
            answer(item("messageBox"), true)

            mouseClick(item("cancelShareButton"))
            messageShown("Share has been canceled.")
            compare(formOf(sharePath), { id: "1044", type: "unshare" })
            compare(row(1).shared, "No")
            compare(row(1).password, "")
        }

        function test_refusalShown_data() {
            return [
                { tag: "share", row: 1, button: "shareButton", path: sharePath },
                { tag: "cancel share", row: 0, button: "cancelShareButton", path: sharePath },
                { tag: "delete", row: 0, button: "deleteButton", path: deletePath, confirm: true }
            ]
        }

        function test_refusalShown(data) {
            openSaved()
            bench.cannedReply(data.path, 200, JSON.stringify({ code: 0, msg: "Record locked", data: null }))
            select(data.row)
            var before = { shared: row(data.row).shared, password: row(data.row).password }
            mouseClick(item(data.button))
            if (data.confirm) {
                messageShown("Are you sure you want to delete it?")
                answer(item("messageBox"), true)
            }
            tryVerify(function () { return bench.requestCount(data.path) === 1 }, 5000)
            messageShown("Record locked")
            compare({ shared: row(data.row).shared, password: row(data.row).password }, before)
            compare(bench.requestCount(savedPath), 1)
            compare(page.rows.count, 20)
        }

        function test_search() {
            openSaved()
            mouseClick(item("searchButton"))
            messageShown("Keywords cannot be empty!")
            answer(item("messageBox"), true)
            wait(150)
            compare(bench.requestCount(savedPath), 1)

            item("searchField").text = "方案"
            pressPage("2")
            // The pager searches with the words in the field.
            waitForRows(savedPath, 2)
            compare(formOf(savedPath).keywords, "方案")
            select(0)
            mouseClick(item("searchButton"))
            waitForRows(savedPath, 3)
            compare(formOf(savedPath), { keywords: "方案", limit: "20", page: "1" })
            tryCompare(item("pager"), "itemCount", 9, 5000)
            compare(item("pager").pageCurrent, 1)
            compare(page.selectedIndex, -1)
            compare(page.selectedId, 0)
        }

        function test_onlyLatestListShown() {
            openSaved()
            bench.delayNext(savedPath, 500)
            pressPage("2")
            pressPage("3")
            waitForRows(savedPath, 3)
            wait(700)
            compare(page.rows.count, 5)
            compare(row(0).name, "方案 5")
            compare(item("pager").pageCurrent, 3)
        }

        function test_emptiedLastPageStepsBack() {
            openSaved()
            pressPage("3")
            waitForRows(savedPath, 2)
            // Meanwhile the records of the last page went elsewhere.
            bench.cannedReply(savedPath, 200, JSON.stringify({ code: 1, msg: "ok", data: { total: 40, data: [] } }))
            page.reload()
            tryVerify(function () { return bench.requestCount(savedPath) === 4 }, 5000)
            compare(formOf(savedPath).page, "2")
            compare(item("pager").pageCurrent, 2)
            compare(item("pager").pageCount, 2)
        }
    }
}
