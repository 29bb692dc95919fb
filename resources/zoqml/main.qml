import QtQuick 2.15

// The root of the pages: the globals that every page reads and writes, and
// the sign-in page, above which the main page is laid after signing in.
Rectangle {
    id: mainWindow
    objectName: "mainWindow"
    color: globalcolor

    property string accesstoken: ""
    property string routingurl: $designHosts[0]
    property string globalcolor: "#FFF"
    property string login_btn_color: "#597EF7"
    property string page_btn_color: "#597EF7"
    property string page_menu_color: "#597EF7"
    property string page_siderbar_color: "#FFF"
    property string delete_bn_color: "#597EF7"
    property string share_btn_color: "#597EF7"
    property string cancelshare_btn_color: "#597EF7"
    property string homeicon: "qrc:/images/nowselect.png"
    property string language: "1"
    property var language_arr: []
    property string data_language: "1"
    property var data_language_arr: []
    property string data_lang
    // The smallest window in which every page shows its texts whole, in
    // every language; the program keeps its window at least this large.
    readonly property int minimumWidth: 1024
    readonly property int minimumHeight: 660

    LoginPage {
        objectName: "loginPage"
        anchors.fill: parent
    }
}
