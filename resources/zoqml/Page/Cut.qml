import QtQuick 2.15
import "records.js" as Records

// "Crop Records": the cut jobs recorded when the user cut a design.
RecordPage {
    objectName: "cutPage"
    title: qsTr("Crop Records") + trans.transString
    listPath: "template/cutlogNew"
    headerList: [qsTr("Name") + trans.transString, qsTr("Thumbnail") + trans.transString,
        qsTr("Cutting area") + trans.transString, qsTr("Creation time") + trans.transString]
    columnRoles: ["name", "thumbnail", "area", "createtime"]
    previewOnOpen: false
    rowOf: Records.cutRow
}
