.pragma library

// A decimal number that the server sends as text, shown as the interface
// language writes numbers: its own decimal separator, the server's digits
// kept as they came. Anything else is shown as it is.
function shown(value) {
    var text = value === undefined || value === null ? "" : String(value)
    return /^-?\d+\.\d+$/.test(text) ? text.replace(".", Qt.locale().decimalPoint) : text
}
