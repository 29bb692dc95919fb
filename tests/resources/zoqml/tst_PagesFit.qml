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

        function isBox(item) {
            var field = item.echoMode !== undefined && item.cursorPosition !== undefined
            return field || (typeof item.clicked === "function" && typeof item.text === "string")
        }

        function sceneRect(item, x, y, width, height) {
            var at = item.mapToItem(null, x, y)
            return { x: at.x, y: at.y, width: width, height: height }
        }

        // Where the text's glyphs are, by its alignment within its box.
        function paintedRect(text) {
            var share = { 1: 0, 2: 1, 4: 0.5, 8: 0 }
            var x = (text.width - text.contentWidth) * (share[text.effectiveHorizontalAlignment] || 0)
            var y = (text.height - text.contentHeight) * ({ 32: 0, 64: 1, 128: 0.5 }[text.verticalAlignment] || 0)
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

        function related(a, b) {
            for (var p = a; p; p = p.parent) {
                if (p === b)
                    return true
            }
            for (p = b; p; p = p.parent) {
                if (p === a)
                    return true
            }
            return false
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
                    if ((p.clip || p === root) && !inside(painted, sceneRect(p, 0, 0, p.width, p.height)))
                        faults.push(name + " leaves " + (p.objectName || p))
                }
                found.boxes.forEach(function (box) {
                    if (!related(text, box) && overlaps(painted, sceneRect(box, 0, 0, box.width, box.height)))
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
