import QtQuick 2.15
import Qt.labs.settings 1.1
import "zoQuick"
import "ajax.js" as Ajax
import "LoginRules.js" as Rules

// The sign-in page: loads the look and the languages that the administrator
// account prescribes, then signs the user in.
Rectangle {
    id: page
    color: "#2D2D2D"

    // The interface language code in force on this page.
    property string lang: settings.value("lang", "")
    property string version: ""
    property bool ready: false
    // Why the administrator parameters did not arrive; empty while waiting.
    property string loadError: ""
    property bool requesting: false
    // A retry shows that it is under way, however fast the answer comes.
    readonly property bool retrying: loadError !== "" && (requesting || retryPause.running)
    property string errorText: ""
    property bool busy: false
    property var mainPage: null

    Settings {
        id: settings
    }

    function applyLanguage(language) {
        lang = language.code
        trans.setCurrentLang(language.name)
        mw.changeLanguage(language.code)
    }

    function storeSetting(key, value) {
        settings.setValue(key, value)
        settings.sync()
    }

    function loadParameters() {
        requesting = true
        Ajax.postAdminParams($admin_id, function (text, json) {
            requesting = false
            var data = json.code === 1 ? json.data : null
            if (!data || data.language === undefined || data.data_language === undefined) {
                loadError = json.code !== undefined && json.code !== 1 && json.msg ? String(json.msg)
                                                                                  : "The server's answer could not be read."
                return
            }
            applyParameters(data)
        }, function () {
            requesting = false
            loadError = "Network Error"
        })
    }

    function retry() {
        retryPause.restart()
        loadParameters()
    }

    function applyParameters(data) {
        version = data.view_version ? String(data.view_version) : $appVersion
        for (var name in Rules.lookDefaults)
            mainWindow[name] = Rules.lookColour(data, name)
        mainWindow.homeicon = data.homeicon ? $imageHost + data.homeicon : "qrc:/images/nowselect.png"
        mainWindow.language = String(data.language)
        mainWindow.language_arr = Rules.split(data.language)
        mainWindow.data_language = String(data.data_language)
        mainWindow.data_language_arr = Rules.split(data.data_language)
        var routing = Number(data.routing)
        if (data.routing !== undefined && data.routing !== null && routing >= 0 && routing <= 2)
            mainWindow.routingurl = $designHosts[routing]

        var dataLang = Rules.dataLanguage(mainWindow.data_language_arr, settings.value("data_lang", ""))
        mainWindow.data_lang = dataLang
        storeSetting("data_lang", dataLang)

        var saved = settings.value("lang", "")
        var decision = Rules.interfaceLanguage(mainWindow.language_arr, saved)
        if (decision.apply)
            applyLanguage(decision.apply)
        if (decision.store)
            storeSetting("lang", decision.store)
        if (decision.again)
            mw.changeLanguage(decision.store)
        ready = true
    }

    function signIn() {
        errorText = ""
        busy = true
        if (account.text === "" || password.text === "") {
            errorText = "User name or password input error!"
            busy = false
            return
        }
        var typedAccount = account.text
        var typedPassword = password.text
        var body = Ajax.form([["account", typedAccount], ["password", typedPassword], ["admin_id", $admin_id],
                              ["version", $appVersion]])
        Ajax.post("user/loginNewNNNN", body, "", function (text, json) {
            var info = json.code === 1 && json.data ? json.data.userinfo : null
            if (!info || !info.token) {
                busy = false
                var msg = json.msg !== undefined ? String(json.msg) : ""
                errorText = Rules.refusals[msg] !== undefined ? Rules.refusals[msg] : msg
                return
            }
            // Written straight through to the settings file: the main window
            // reads the token back as soon as it is told.
            storeSetting("id", info.id)
            storeSetting("mobile", typedAccount)
            storeSetting("token", info.token)
            storeSetting("password", typedPassword)
            storeSetting("lang", lang)
            mainWindow.accesstoken = info.token
            mw.afterLogin()
            busy = false
            openMainPage()
        }, function () {
            busy = false
            errorText = "Network Error"
        })
    }

    function openMainPage() {
        if (mainPage)
            return
        var component = Qt.createComponent("MainPage.qml")
        mainPage = component.createObject(mainWindow, { objectName: "mainPage" })
    }

    // Until the parameters decide, the texts show in the language of the
    // last run. The fields are filled once, not bound: a language switch
    // evaluates every binding again and would undo what was typed.
    Component.onCompleted: {
        trans.setCurrentLang(Rules.startLanguage(settings.value("lang", "")))
        account.text = settings.value("mobile", "")
        password.text = settings.value("password", "")
    }
    Component.onDestruction: Ajax.abortAll()

    Timer {
        interval: 100
        running: true
        onTriggered: page.loadParameters()
    }

    Timer {
        id: retryPause
        interval: 600
    }

    Column {
        anchors.centerIn: parent
        spacing: 16
        visible: !page.ready
        Text {
            objectName: "loadingText"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("LOADING...") + trans.transString
            font.family: "Microsoft YaHei"
            font.pointSize: 12
            font.bold: true
            color: "#7C7C7C"
        }
        Text {
            objectName: "loadErrorText"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: page.loadError !== "" && !page.retrying
            text: qsTr(page.loadError) + trans.transString
            font.pixelSize: 16
            color: "#FF6B6B"
        }
        CusButton {
            objectName: "retryButton"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: page.loadError !== "" && !page.retrying
            minimumWidth: 120
            text: qsTr("Retry") + trans.transString
            onClicked: page.retry()
        }
        CusBusyIndicator {
            objectName: "retryBusy"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: page.retrying
            busyColor: "#7C7C7C"
        }
    }

    Image {
        anchors.fill: parent
        visible: page.ready
        source: $backPath
        fillMode: Image.PreserveAspectCrop
    }

    Item {
        id: form
        objectName: "signInForm"
        visible: page.ready
        width: 520
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.topMargin: 150

        Column {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 18

            CusTextField {
                id: account
                objectName: "accountField"
                width: 300
                height: 40
                placeholderText: qsTr("Account Number") + trans.transString
            }
            CusTextField {
                id: password
                objectName: "passwordField"
                width: 300
                height: 40
                echoMode: TextInput.Password
                placeholderText: qsTr("Password") + trans.transString
                onAccepted: page.signIn()
            }
            CusButton_Blue {
                objectName: "loginButton"
                minimumWidth: 300
                height: 40
                text: qsTr("Confirm Login") + trans.transString
                onClicked: page.signIn()
            }
            Text {
                objectName: "errorText"
                width: 300
                visible: page.errorText !== ""
                wrapMode: Text.Wrap
                text: qsTr(page.errorText) + trans.transString
                color: "red"
                font.pixelSize: 16
            }
            CusBusyIndicator {
                objectName: "busyIndicator"
                anchors.horizontalCenter: parent.horizontalCenter
                width: 45
                height: 45
                busyRadius: 5
                busyCount: 6
                busyColor: mainWindow.login_btn_color
                visible: page.busy
            }
            Flow {
                objectName: "languageRow"
                width: 350
                visible: mainWindow.language_arr.length > 1
                spacing: Rules.buttonSpacing(mainWindow.language_arr.length)
                Repeater {
                    model: ["1", "2", "3", "4", "5", "6"]
                    CheckButton {
                        objectName: "languageButton" + modelData
                        readonly property var language: Rules.interfaceLanguages[modelData]
                        visible: mainWindow.language.indexOf(modelData) >= 0
                        text: language.text
                        checked: page.lang === language.code
                        onClicked: {
                            page.applyLanguage(language)
                            page.storeSetting("lang", language.code)
                        }
                    }
                }
            }
            Text {
                objectName: "versionText"
                text: qsTr("Version: ") + trans.transString + page.version
                color: "white"
                font.pixelSize: 14
            }
        }
    }
}
