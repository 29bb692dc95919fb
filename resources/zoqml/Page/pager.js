.pragma library

// The arithmetic of the pager: which page buttons show for a page count and
// the current page, and which page requests go through.

var pageSize = 20

function pageCount(total) {
    var count = Number(total)
    return count > 0 ? Math.ceil(count / pageSize) : 0
}

// The numbered buttons between the first and the last page.
function middlePages(count, current) {
    var shown = count < 2 ? 0 : (count >= 5 ? 3 : count - 2)
    var first = current <= 3 ? 2 : (count - current <= 2 ? count - shown : current - 1)
    var pages = []
    for (var i = 0; i < shown; ++i)
        pages.push(first + i)
    return pages
}

function gapBefore(count, current) {
    return count > 5 && current > 3
}

function gapAfter(count, current) {
    return count > 5 && count - current > 2
}

// Whether pressing the button of target changes the page.
function accepts(target, count, current) {
    return target >= 1 && target <= count && target !== current
}

// A typed page number kept within the pages there are; the first page
// while there are none.
function clamp(page, count) {
    return Math.max(1, Math.min(Math.floor(Number(page)) || 1, Math.max(count, 1)))
}
