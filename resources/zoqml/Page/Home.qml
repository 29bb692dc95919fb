import QtQuick 2.15
import Qt.labs.settings 1.1
import "../zoQuick"
import "../ajax.js" as Ajax
import "cascade.js" as Cascade
import "numbers.js" as Numbers

// The data centre: six cascading selectors narrow the vehicle down, and the
// template that the server names for the picks opens in the editor.
Item {
    id: home
    objectName: "homePage"

    property var selectarr: ["", "", "", "", "", ""]
    property var brandarr: []
    // Only the reply to the latest cascade request is used: a slow reply to
    // an earlier pick must not overwrite what a newer pick brought.
    property int requestSerial: 0
    readonly property var selectors: [selector1, selector2, selector3, selector4, selector5, selector6]

    Settings {
        id: settings
    }

    ListModel {
        id: results
        objectName: "results"
    }

    function cascadeRequest(path, body, handle) {
        var serial = ++requestSerial
        Ajax.postJson(path, body, mainWindow.accesstoken, function (text, json) {
            if (serial === requestSerial)
                handle(json)
        })
    }

    function closeLists() {
        for (var i = 0; i < selectors.length; ++i)
            selectors[i].open = false
    }

    function toggleList(selector) {
        var opening = !selector.open && selector.entries.length > 0
        closeLists()
        selector.open = opening
    }

    function loadCategories() {
        cascadeRequest("template_new/category", { cate: "type", keywords: "", lang: mainWindow.data_lang },
                       function (json) {
                           if (json.code === 1 && Array.isArray(json.data) && json.data.length > 0)
                               selector1.entries = json.data
                       })
    }

    // A new pick empties every level below it at once, and the template
    // found for the old picks goes: nothing of an earlier choice can be
    // picked or opened while the server answers for the new one.
    function pick(level, entry) {
        selectors[level - 1].text = Cascade.shownValue(level, entry.val)
        selectarr[level - 1] = String(entry.val)
        closeLists()
        for (var i = level; i < selectors.length; ++i)
            selectors[i].reset()
        if (level === 1)
            brandarr = []
        results.clear()
        if (level === 6) {
            loadTemplate(selectarr.join("-"))
            return
        }
        cascadeRequest("template_new/category", {
                           cate: Cascade.cates[level],
                           keywords: Cascade.categoryKeywords(selectarr, level),
                           lang: mainWindow.data_lang
                       }, function (json) {
                           if (Cascade.offersEntries(json))
                               offerNextLevel(level, json.data)
                           else
                               loadTemplate(Cascade.indexKeywords(selectarr, level))
                       })
    }

    function offerNextLevel(level, entries) {
        selectors[level].entries = entries
        if (level === 1) {
            brandarr = entries
            selector2.letters = Cascade.letters(entries)
        }
    }

    function loadTemplate(keywords) {
        cascadeRequest("template_new/index", { keywords: keywords, lang: mainWindow.data_lang }, function (json) {
            if (json.code !== 1)
                return
            results.clear()
            var found = json.data && Array.isArray(json.data.data) ? json.data.data : []
            if (found.length === 0)
                return
            var template = found[0]
            var name = Cascade.templateName(template, mainWindow.data_lang)
            if (name === null)
                return
            var storage = $tools.mydecrypt(String(template.code))
            results.append({
                               id: template.id,
                               name: name,
                               thumbnail: mainWindow.routingurl + storage + ".png?timestamp=" + Date.now(),
                               pdb: mainWindow.routingurl + storage + ".pdb?timestamp=" + Date.now(),
                               area: Numbers.shown(template.area),
                               remark: ""
                           })
        })
    }

    function openTemplate(index) {
        var row = results.get(index)
        var pdb = row.pdb
        var name = row.name
        Ajax.postJson("template_new/view", { id: row.id }, mainWindow.accesstoken, function (text, json) {
            if (json.code === 1) {
                mw.sendfiledata(pdb, name)
                databtn.show()
                databtn1.show()
                view.hide()
            } else if (json.code === Cascade.viewsExhaustedCode) {
                messageBox.show(qsTr("Today's views have been exhausted！") + trans.transString)
            } else {
                messageBox.show(json.msg !== undefined ? String(json.msg) : "")
            }
        })
    }

    // Every pick, the category's too ("Car" is "轿车" in Chinese), and the
    // template found for them were made in the old language, which the new
    // lists no longer hold: they all go, so that nothing stale is shown,
    // picked or opened, and the new categories are offered to pick from.
    function switchDataLanguage(code) {
        mainWindow.data_lang = code
        settings.setValue("data_lang", code)
        closeLists()
        for (var i = 0; i < selectors.length; ++i)
            selectors[i].reset()
        selectarr = ["", "", "", "", "", ""]
        brandarr = []
        results.clear()
        loadCategories()
    }

    Component.onDestruction: Ajax.abortAll()

    Component.onCompleted: loadCategories()

    MouseArea {
        anchors.fill: parent
        z: -1
        onPressed: home.closeLists()
    }

    PageHeader {
        id: header
        width: parent.width
        title: qsTr("Data Center") + trans.transString

        Row {
            objectName: "dataLanguageRow"
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.verticalCenter: parent.verticalCenter
            spacing: 20
            visible: mainWindow.data_language_arr.length > 1
            Repeater {
                model: [{ index: "1", text: "中文", code: "zh" }, { index: "2", text: "English", code: "en" },
                    { index: "3", text: "한국어", code: "ko" }]
                CusRadioButton {
                    objectName: "dataLanguage_" + modelData.code
                    visible: mainWindow.data_language.indexOf(modelData.index) >= 0
                    text: modelData.text
                    checked: mainWindow.data_lang === modelData.code
                    checkedColor: mainWindow.page_btn_color
                    onClicked: home.switchDataLanguage(modelData.code)
                }
            }
        }
    }

    Grid {
        id: grid
        anchors.top: header.bottom
        anchors.topMargin: 20
        width: parent.width - 20
        columns: 3
        spacing: 10
        readonly property real cell: (width - 2 * spacing) / 3

        Repeater {
            model: 3
            Text {
                width: grid.cell
                text: qsTr(Cascade.labels[index]) + trans.transString
                font.pointSize: 11
            }
        }
        Selector {
            id: selector1
            objectName: "selector1"
            level: 1
            width: grid.cell
            onPressed: home.toggleList(selector1)
            onPicked: home.pick(1, entry)
        }
        Selector {
            id: selector2
            objectName: "selector2"
            level: 2
            width: grid.cell
            onPressed: home.toggleList(selector2)
            onPicked: home.pick(2, entry)
        }
        Selector {
            id: selector3
            objectName: "selector3"
            level: 3
            width: grid.cell
            onPressed: home.toggleList(selector3)
            onPicked: home.pick(3, entry)
        }
        Repeater {
            model: 3
            Text {
                width: grid.cell
                text: qsTr(Cascade.labels[index + 3]) + trans.transString
                font.pointSize: 11
            }
        }
        Selector {
            id: selector4
            objectName: "selector4"
            level: 4
            width: grid.cell
            onPressed: home.toggleList(selector4)
            onPicked: home.pick(4, entry)
        }
        Selector {
            id: selector5
            objectName: "selector5"
            level: 5
            width: grid.cell
            onPressed: home.toggleList(selector5)
            onPicked: home.pick(5, entry)
        }
        Selector {
            id: selector6
            objectName: "selector6"
            level: 6
            width: grid.cell
            onPressed: home.toggleList(selector6)
            onPicked: home.pick(6, entry)
        }
    }

    Connections {
        target: selector2
        function onLetterPicked(letter) {
            selector2.shown = Cascade.startingWith(home.brandarr, letter)
            selector2.highlighted = -1
        }
    }

    TemplateTable {
        objectName: "templateTable"
        y: 330
        z: -0.5
        width: parent.width - 20
        height: 270
        model: results
        onOpened: home.openTemplate(index)
    }

    CusMessageBox {
        id: messageBox
        objectName: "messageBox"
        title: qsTr("Info") + trans.transString
    }
}
