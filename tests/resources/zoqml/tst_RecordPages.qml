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

        readonly property string savedPath: "template/myTemplateNew"
        readonly property string cutPath: "template/cutlogNew"
        readonly property string sharePath: "template/share"
        readonly property string deletePath: "template/del"

        // Chooses the menu entry and waits for the first page of records.
        function openPage(entry, name, path) {
            showPage(entry, name)
            waitForRows(path, 1)
        }

        function waitForRows(path, requests) {
            waitForRequests(path, requests)
            tryVerify(function () { return page.rows.count > 0 }, 5000, "rows of " + path)
        }

        function row(index) {
            return page.rows.get(index)
        }

        function rowItem(index) {
            item("recordRows").positionViewAtIndex(index, ListView.Beginning)
            tryVerify(function () { return item("recordRow" + index) !== null }, 5000)
            return item("recordRow" + index)
        }

        function select(index) {
            mouseClick(rowItem(index))
            compare(page.selectedIndex, index)
        }

        function press(button) {
            settle()
            mouseClick(item(button))
        }

        function pressPage(label) {
            settle()
            var buttons = findChild(item("pager"), "pageButtons").children
            mouseClick(Array.prototype.filter.call(buttons, function (button) {
                return button.visible && String(button.text) === label
            })[0])
        }

        function messageShown(text) {
            waitForMessage(item("messageBox"), text)
        }

        function init() {
            resumeSignIn()
            openPage(1, "savePage", savedPath)
        }

        function test_firstPageOfSavedVersions() {
            compare(page.rows.count, 20)
            compare(bench.last(savedPath).form, { keywords: "", limit: "20", page: "1" })
            compare(bench.last(savedPath).token, bench.setting("token"))
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
        // host without a placeholder of its own shows the program's own,
        // which the editor does not keep as the preview.
        function test_doubleClickOpensInEditor_data() {
            return [
                { tag: "saved version", row: 1, preview: true },
                { tag: "saved version with a jpg", row: 2, thumbnail: "qrc:/images/pre_model.png", preview: false },
                { tag: "crop record", entry: 2, name: "cutPage", path: cutPath, row: 1, preview: false }
            ]
        }

        function test_doubleClickOpensInEditor(data) {
            if (data.entry)
                openPage(data.entry, data.name, data.path)
            var opened = row(data.row)
            if (data.thumbnail)
                compare(opened.thumbnail, data.thumbnail)
            var image = findChild(findChild(rowItem(data.row), "cell1"), "cellImage")
            tryCompare(image, "status", Image.Ready, 5000)
            mouseDoubleClick(rowItem(data.row))
            compare(mw.opened, [[opened.pdb, opened.name, data.preview ? opened.thumbnail : ""]])
            compare([databtn.shown, databtn1.shown, view.hidden], [1, 1, 1])
        }

        // A name with markup and path characters shows every character.
        function test_nameShownAsTyped() {
            var name = "../../etc/<b>x</b>%n"
            page.rows.setProperty(0, "name", name)
            var text = findChild(findChild(rowItem(0), "cell0"), "cellText")
            compare(text.text, name)
            var metrics = Qt.createQmlObject("import QtQuick 2.15; TextMetrics {}", text)
            metrics.font = text.font
            metrics.text = name
            verify(Math.abs(text.contentWidth - metrics.advanceWidth) < 1, text.contentWidth + " " + metrics.advanceWidth)
        }

        function test_cropRecords() {
            openPage(2, "cutPage", cutPath)
            compare([page.rows.count, item("pager").itemCount], [20, 23])
            compare([row(0).name, row(0).area], ["Cut 23", "5.75"])
            // Every fourth record has no name and gets one made up.
            compare(row(3).name.length, 6)
            pressPage("2")
            waitForRows(cutPath, 2)
            compare(bench.last(cutPath).form.page, "2")
            tryCompare(page.rows, "count", 3, 5000)
            compare(row(0).name, "Cut 3")
        }

        function test_deleteOnSecondPage() {
            pressPage("2")
            waitForRows(savedPath, 2)
            tryCompare(row(0), "name", "方案 25", 5000)
            select(4)
            var removed = row(4).id
            press("deleteButton")
            messageShown("Are you sure you want to delete it?")
            verify(findChild(item("messageBox").contentItem, "messageNo").visible)
            answer(item("messageBox"), true)
            waitForRequests(deletePath, 1)
            compare(bench.last(deletePath).form, { id: String(removed) })
            // Page 2 again, with 20 records of the 44 left.
            waitForRows(savedPath, 3)
            compare(bench.last(savedPath).form.page, "2")
            tryCompare(item("pager"), "itemCount", 44, 5000)
            tryCompare(page.rows, "count", 20, 5000)
            compare(page.rowIndexOf(removed), -1)
            // Nothing stays selected that the highlight no longer shows.
            compare([page.selectedId, page.selectedIndex, item("messageBox").opened], [0, -1, false])
        }

        function test_shareAndCancel() {
            select(1)
            compare(row(1).name, "Version 44")
            press("shareButton")
            messageShown("Shared")
            compare(bench.last(sharePath).form, { id: "1044", type: "share" })
            compare([row(1).shared, row(1).password], ["Yes", "2044"])
            answer(item("messageBox"), true)
            press("cancelShareButton")
            messageShown("Share has been canceled.")
            compare(bench.last(sharePath).form, { id: "1044", type: "unshare" })
            compare([row(1).shared, row(1).password], ["No", ""])
        }

        // The page's own refusals send nothing; the server's leave the rows
        // as they were.
        function test_refused_data() {
            var none = "No, please check the option you want to operate!"
            return [
                { tag: "delete without a selection", button: "deleteButton", shown: none },
                { tag: "share without a selection", button: "shareButton", shown: none },
                { tag: "cancel share without a selection", button: "cancelShareButton", shown: none },
                { tag: "cancel a share never made", row: 1, button: "cancelShareButton",
                  shown: "Please select a shared data!" },
                { tag: "share refused", row: 1, button: "shareButton", sent: 1 },
                { tag: "cancel share refused", row: 0, button: "cancelShareButton", sent: 1 },
                { tag: "delete refused", row: 0, button: "deleteButton", sent: 1 }
            ]
        }

        function test_refused(data) {
            var locked = JSON.stringify({ code: 0, msg: "Record locked", data: null })
            bench.cannedReply(sharePath, 200, locked)
            bench.cannedReply(deletePath, 200, locked)
            if (data.row !== undefined)
                select(data.row)
            var shares = function () { return [row(0).shared, row(0).password, row(1).shared, row(1).password] }
            var before = shares()
            press(data.button)
            if (data.sent && data.button === "deleteButton") {
                messageShown("Are you sure you want to delete it?")
                answer(item("messageBox"), true)
            }
            messageShown(data.shown || "Record locked")
            wait(data.sent ? 0 : 150)
            compare(bench.requestCount(sharePath) + bench.requestCount(deletePath), data.sent || 0)
            compare(shares(), before)
            compare([bench.requestCount(savedPath), page.rows.count], [1, 20])
        }

        function test_search() {
            item("searchField").text = "方案"
            pressPage("2")
            // The pager searches with the words in the field; their 9 records
            // have no page 2, so page 1 follows.
            waitForRows(savedPath, 3)
            compare(bench.last(savedPath).form.keywords, "方案")
            select(0)
            press("searchButton")
            waitForRows(savedPath, 4)
            compare(bench.last(savedPath).form, { keywords: "方案", limit: "20", page: "1" })
            tryCompare(item("pager"), "itemCount", 9, 5000)
            compare([item("pager").pageCurrent, page.selectedIndex, page.selectedId], [1, -1, 0])
            // No words list every record again.
            item("searchField").text = ""
            press("searchButton")
            waitForRequests(savedPath, 5)
            compare(bench.last(savedPath).form, { keywords: "", limit: "20", page: "1" })
            tryCompare(item("pager"), "itemCount", 45, 5000)
            compare(item("messageBox").opened, false)
        }

        // What was saved or cut in the editor meanwhile shows when the pages
        // come back, on the page that the user left.
        function test_refreshedWhenShownAgain_data() {
            return [
                { tag: "saved versions", path: savedPath },
                { tag: "crop records", entry: 2, name: "cutPage", path: cutPath }
            ]
        }

        function test_refreshedWhenShownAgain(data) {
            if (data.entry)
                openPage(data.entry, data.name, data.path)
            pressPage("2")
            waitForRows(data.path, 2)
            view.hide()
            bench.cannedReply(data.path, 200, JSON.stringify({ code: 1, msg: "ok",
                data: { total: 48, data: [{ id: 9001, name: "Saved meanwhile" }] } }))
            view.show()
            waitForRequests(data.path, 3)
            compare(bench.last(data.path).form, { keywords: "", limit: "20", page: "2" })
            tryCompare(item("pager"), "itemCount", 48, 5000)
            compare([page.rows.count, row(0).name], [1, "Saved meanwhile"])
        }

        function test_onlyLatestListShown() {
            // Page 2 reaches the stand-in first, which holds it back.
            bench.delayNext(savedPath, 500)
            pressPage("2")
            waitForRequests(savedPath, 2)
            pressPage("3")
            waitForRows(savedPath, 3)
            wait(700)
            compare([page.rows.count, row(0).name, item("pager").pageCurrent], [5, "方案 5", 3])
        }

        function test_emptiedLastPageStepsBack() {
            pressPage("3")
            waitForRows(savedPath, 2)
            // Meanwhile the records of the last page went elsewhere.
            bench.cannedReply(savedPath, 200, JSON.stringify({ code: 1, msg: "ok", data: { total: 40, data: [] } }))
            page.reload()
            waitForRequests(savedPath, 4)
            compare(bench.last(savedPath).form.page, "2")
            compare([item("pager").pageCurrent, item("pager").pageCount], [2, 2])
        }
    }
}
