.pragma library

// The rules of the data centre's six cascading selectors, levels 1 to 6.

var cates = ["type", "brand", "series", "model", "year", "submodel"]
var labels = ["Select Category", "Select Brand", "Select Model", "Select Variant", "Select Year", "Select Submodel"]
var brandLevel = 2

// Keywords of the category request after a pick at level k (1 to 5).
function categoryKeywords(picks, k) {
    return picks.slice(0, k).join("-") + "-"
}

// Keywords of the template request when level k offers nothing further: the
// picks joined, with a final "-" after a model or a year.
function indexKeywords(picks, k) {
    var joined = picks.slice(0, k).join("-")
    return k === 4 || k === 5 ? joined + "-" : joined
}

// Whether a category reply offers entries for the next level.
function offersEntries(json) {
    if (json.code !== 1 || !Array.isArray(json.data) || json.data.length === 0)
        return false
    var first = json.data[0]
    return first !== null && typeof first === "object" && first.val !== undefined && first.val !== null
            && first.val !== ""
}

// A brand's value starts with its initial and a separator, not shown.
function shownValue(level, val) {
    return level === brandLevel ? String(val).substring(2) : String(val)
}

// The first character of every value, each once, in order of appearance.
function letters(entries) {
    var seen = []
    for (var i = 0; i < entries.length; ++i) {
        var letter = String(entries[i].val).charAt(0)
        if (seen.indexOf(letter) < 0)
            seen.push(letter)
    }
    return seen
}

function startingWith(entries, letter) {
    return entries.filter(function (entry) {
        return String(entry.val).charAt(0) === letter
    })
}

// The template's name in the data language; null for another language.
function templateName(template, dataLang) {
    var field = { "zh": "name1", "en": "name2", "ko": "name3" }[dataLang]
    return field === undefined ? null : String(template[field] === undefined ? "" : template[field])
}

// The template view refusal that means the day's views are used up; other
// refusals carry their reason in "msg".
var viewsExhaustedCode = 0
