import QtQuick 2.15

// The button of the prescribed look: always on the sign-in colour.
CusButton {
    backgroundColor: typeof mainWindow !== "undefined" ? mainWindow.login_btn_color : "#597EF7"
    color: backgroundColor
    textColor: "white"
}
