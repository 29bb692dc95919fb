import QtQuick 2.15
import QtTest 1.2

// Every page and the password window in each language, at the smallest size
// that the pages allow: no text is cut off, leaves the box that clips it, or
// runs under another text, a field or a button.
Item {
    width: 1350
    height: 750

    ShellTestCase {
        name: "PagesFit"

        readonly property var languages: ["简体中文", "English", "Russian", "Arabic", "Korean", "German"]

        function isText(item) {
            return item.truncated !== undefined && item.elide !== undefined
        }

        // Fields, and anything with a text that can be clicked.
        function isBox(item) {
            return item.cursorPosition !== undefined
                    || (typeof item.clicked === "function" && typeof item.text === "string")
        }

        function sceneRect(item, x, y, width, height) {
            var at = item.mapToItem(null, x || 0, y || 0)
            return { x: at.x, y: at.y, width: width === undefined ? item.width : width,
                     height: height === undefined ? item.height : height }
        }

        // Where the glyphs are, by the text's alignment within its box.
        function paintedRect(text) {
            var x = (text.width - text.contentWidth) * ({ 2: 1, 4: 0.5 }[text.effectiveHorizontalAlignment] || 0)
            var y = (text.height - text.contentHeight) * ({ 64: 1, 128: 0.5 }[text.verticalAlignment] || 0)
            return sceneRect(text, x, y, text.contentWidth, text.contentHeight)
        }

        function overlaps(a, b) {
            return a.x + a.width > b.x + 1 && b.x + b.width > a.x + 1 && a.y + a.height > b.y + 1
                    && b.y + b.height > a.y + 1
        }

        function inside(a, b) {
            return a.x >= b.x - 1 && a.y >= b.y - 1 && a.x + a.width <= b.x + b.width + 1
                    && a.y + a.height <= b.y + b.height + 1
        }

        function descends(item, ancestor) {
            while (item && item !== ancestor)
                item = item.parent
            return item === ancestor
        }

        // The shown texts and boxes under item; the rows of the tables hold
        // the server's data, which may end in an ellipsis.
        function collect(item, found) {
            if (!item.visible || /^(recordRow|templateRow)/.test(item.objectName))
                return
            if (isText(item) && item.text !== "")
                found.texts.push(item)
            if (isBox(item))
                found.boxes.push(item)
            for (var i = 0; i < item.children.length; ++i)
                collect(item.children[i], found)
        }

        function misfits(root) {
            var found = { texts: [], boxes: [] }
            collect(root, found)
            var faults = []
            found.texts.forEach(function (text) {
                var name = "\"" + text.text + "\""
                var painted = paintedRect(text)
                if (text.truncated || text.contentWidth > text.width + 1 || text.contentHeight > text.height + 1)
                    faults.push(name + " is cut off")
                for (var p = text.parent; p && p !== root.parent; p = p.parent) {
                    if ((p.clip || p === root) && !inside(painted, sceneRect(p)))
                        faults.push(name + " leaves " + (p.objectName || p))
                }
                found.boxes.forEach(function (box) {
                    if (!descends(text, box) && !descends(box, text) && overlaps(painted, sceneRect(box)))
                        faults.push(name + " runs under " + (box.objectName || box.text))
                })
            })
            return faults
        }

        function checkFits(where, root) {
            settle()
            languages.forEach(function (language) {
                trans.setCurrentLang(language)
                settle()
                var faults = misfits(root)
                verify(faults.length === 0, where + " in " + language + ": " + faults.join("; "))
            })
            trans.setCurrentLang("English")
        }

        function initTestCase() {
            signIn()
            shell.width = shell.minimumWidth
            shell.height = shell.minimumHeight
        }

        function test_signInPage() {
            var login = findChild(shell, "loginPage")
            var mainPage = findChild(shell, "mainPage")
            mainPage.visible = false
            item("accountField").text = ""
            item("passwordField").text = ""
            login.errorText = "User name or password input error!"
            checkFits("the sign-in page", login)
            login.ready = false
            login.loadError = "The server's answer could not be read."
            checkFits("the loading page", login)
            login.ready = true
            mainPage.visible = true
        }

        function test_pages_data() {
            return [
                { tag: "data centre", entry: 0, name: "homePage" },
                { tag: "saved versions", entry: 1, name: "savePage", rows: "template/myTemplateNew" },
                { tag: "crop records", entry: 2, name: "cutPage", rows: "template/cutlogNew" },
                { tag: "personal information", entry: 3, name: "perPage" }
            ]
        }

        function test_pages(data) {
            showPage(data.entry, data.name)
            if (data.rows)
                tryVerify(function () { return item("recordTable").model.count > 0 }, 5000, data.rows)
            checkFits("the page " + data.tag, findChild(shell, "mainPage"))
        }

        // Right-to-left text ends at the selector's right edge, where the
        // drop-down arrow sits.
        function test_selectorClearsArrow() {
            showPage(0, "homePage")
            var selector = findChild(shell, "selector1")
            var text = findChild(selector, "selectorText")
            var arrow = sceneRect(findChild(selector, "selectorArrow"))
            languages.forEach(function (language) {
                trans.setCurrentLang(language)
                settle()
                var painted = paintedRect(text)
                verify(painted.x + painted.width + 6 <= arrow.x,
                       "\"" + text.text + "\" in " + language + " ends at " + (painted.x + painted.width)
                       + ", the arrow starts at " + arrow.x)
            })
            trans.setCurrentLang("English")
        }

        function test_passwordWindow() {
            showPage(3, "perPage")
            var window = item("changePass")
            window.open()
            tryCompare(window, "opened", true, 5000)
            checkFits("the password window", window.contentItem)
            window.close()
        }
    }
}
