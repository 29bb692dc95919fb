.pragma library
.import "numbers.js" as Numbers

// The rows of the record pages, made from the records of the list replies.

var nameLetters = "abcdefghijklmnopqrstuvwxyz123456789"
var placeholderImage = "qrc:/images/pre_model.png"

function text(value) {
    return value === undefined || value === null ? "" : String(value)
}

// The thumbnail of a record from its deciphered "image": a ".png" address
// as it is, any other picture replaced by the placeholder of its host, and
// the program's own placeholder when no host can be told.
function thumbnailAddress(image) {
    var address = text(image)
    if (/png$/.test(address))
        return address
    var host = address.indexOf(".com")
    return host >= 0 ? address.substring(0, host) + ".com/uploads/wutu.png" : placeholderImage
}

// The preview that an opened design keeps: none for the program's own
// placeholder, so that the editor uses its default.
function previewAddress(thumbnail) {
    return thumbnail === placeholderImage ? "" : text(thumbnail)
}

// Six distinct characters in random order, for a record without a name.
function randomName() {
    var letters = nameLetters.split("")
    var name = ""
    for (var i = 0; i < 6; ++i)
        name += letters.splice(Math.floor(Math.random() * letters.length), 1)[0]
    return name
}

function packageAddress(turl, decrypt) {
    return decrypt(text(turl)) + "?r=" + Date.now()
}

// tools: {decrypt(text), time(seconds), yes, no}.
function savedRow(record, tools) {
    return {
        id: Number(record.id),
        name: text(record.name),
        thumbnail: thumbnailAddress(tools.decrypt(text(record.image))),
        share_code: text(record.share_code),
        password: text(record.password),
        shared: record.status === "normal" ? tools.yes : tools.no,
        createtime: tools.time(record.createtime),
        content: text(record.content),
        pdb: packageAddress(record.turl, tools.decrypt)
    }
}

function cutRow(record, tools) {
    var name = text(record.name)
    return {
        id: Number(record.id),
        name: name !== "" ? name : randomName(),
        thumbnail: thumbnailAddress(tools.decrypt(text(record.image))),
        area: Numbers.shown(record.area),
        createtime: tools.time(record.createtime),
        pdb: packageAddress(record.turl, tools.decrypt)
    }
}
