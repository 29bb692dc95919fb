import QtQuick 2.15

// The page area. Choosing a page replaces the one shown, which is destroyed,
// so every page loads its data afresh.
Loader {
    clip: true
    source: "/zoqml/Page/Home.qml"
}
