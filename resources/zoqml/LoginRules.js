.pragma library

// The decisions of the sign-in page, kept apart from the page so that they
// can be checked on their own.

// Interface languages by the server's index 1 to 6.
var interfaceLanguages = {
    "1": { text: "中文", code: "zh_cn", name: "简体中文" },
    "2": { text: "English", code: "en", name: "English" },
    "3": { text: "Русский", code: "ru", name: "Russian" },
    "4": { text: "العربية", code: "ar", name: "Arabic" },
    "5": { text: "한국어", code: "ko", name: "Korean" },
    "6": { text: "Deutsch", code: "ger", name: "German" }
}

// Data languages by the server's index 1 to 3.
var dataLanguages = { "1": "zh", "2": "en", "3": "ko" }

var lookDefaults = {
    globalcolor: "#FFF",
    login_btn_color: "#597EF7",
    page_btn_color: "#597EF7",
    page_menu_color: "#597EF7",
    page_siderbar_color: "#FFF",
    delete_bn_color: "#597EF7",
    share_btn_color: "#597EF7",
    cancelshare_btn_color: "#597EF7"
}

function split(text) {
    return String(text).split(",")
}

function languageByCode(code) {
    for (var index in interfaceLanguages) {
        if (interfaceLanguages[index].code === code)
            return interfaceLanguages[index]
    }
    return null
}

// The Trans name of the saved code, English when nothing known was saved.
function startLanguage(saved) {
    var known = languageByCode(saved)
    return known ? known.name : interfaceLanguages["2"].name
}

// The look colour of the reply's data, or its default when missing or empty.
function lookColour(data, name) {
    var value = data[name]
    return value === undefined || value === null || value === "" ? lookDefaults[name] : String(value)
}

// The data language: the only one offered wins over the saved one; without a
// saved one the first offered is taken.
function dataLanguage(offered, saved) {
    var hasSaved = saved !== undefined && saved !== null && saved !== ""
    var code = dataLanguages[offered[0]]
    if (hasSaved && offered.length !== 1)
        return saved
    return code !== undefined ? code : (hasSaved ? saved : "")
}

// What to do with the interface language: {apply: the language to apply or
// null, store: the code for the setting "lang" or null to leave it,
// again: whether the main window hears the code once more}.
function interfaceLanguage(offered, saved) {
    if (offered.length > 1) {
        var known = languageByCode(saved)
        if (known)
            return { apply: known, store: null, again: false }
        var first = interfaceLanguages[offered[0]] || null
        return { apply: first, store: first ? first.code : null, again: first !== null }
    }
    var only = interfaceLanguages[offered[0]] || null
    return { apply: only, store: only ? only.code : saved, again: false }
}

// Spacing between n language buttons: the share of a 350-pixel row, never
// so small that the buttons touch.
function buttonSpacing(n) {
    return n > 1 ? Math.max(12, (350 - 80 * n) / (n - 1)) : 0
}

var refusals = {
    "账户不正确": "Incorrect account",
    "密码不正确": "Incorrect password",
    "请使用最新版本": "Please update the new version"
}
