// Web API requests of the pages. The base address is the context property
// $api, so this script is imported per page rather than shared.

// A form body from [name, value] pairs. Every name and value is
// percent-encoded, so "&", "=", "+" and "%" reach the server as typed.
function form(pairs) {
    return pairs.map(function (pair) {
        var value = pair[1] === undefined || pair[1] === null ? "" : String(pair[1])
        return encodeURIComponent(pair[0]) + "=" + encodeURIComponent(value)
    }).join("&")
}

function parse(text) {
    try {
        var parsed = JSON.parse(text)
        return parsed !== null && typeof parsed === "object" ? parsed : {}
    } catch (e) {
        return {}
    }
}

// The requests of this page still under way. Each page gets its own copy of
// this script, so a page that goes away drops only its own requests.
var pending = []

// Drops every request under way without calling back: a page that is gone
// must not hear its replies.
function abortAll() {
    var requests = pending
    pending = []
    requests.forEach(function (xhr) {
        xhr.onreadystatechange = function () {}
        xhr.abort()
    })
}

// Sends the request; success(text, object) for status 200, else
// failure(text, status) when given. Status 0 is a network failure.
function send(url, contentType, body, token, success, failure) {
    var xhr = new XMLHttpRequest()
    xhr.onreadystatechange = function () {
        if (xhr.readyState !== XMLHttpRequest.DONE)
            return
        var at = pending.indexOf(xhr)
        if (at >= 0)
            pending.splice(at, 1)
        if (xhr.status === 200) {
            if (success)
                success(xhr.responseText, parse(xhr.responseText))
        } else if (failure) {
            failure(xhr.responseText, xhr.status)
        }
    }
    xhr.open("POST", $api + url)
    if (token !== null && token !== undefined)
        xhr.setRequestHeader("token", token)
    // The body's length is left to the request itself: counted in
    // characters it would be wrong for any text beyond ASCII.
    xhr.setRequestHeader("Content-Type", contentType)
    xhr.send(body)
    pending.push(xhr)
}

// The form request: arg is a form body (see form()).
function post(url, arg, token, success, failure) {
    send(url, "application/x-www-form-urlencoded;", arg, token, success, failure)
}

// The JSON request of the data centre: a flat object as the body.
function postJson(url, object, token, success, failure) {
    send(url, "application/json", JSON.stringify(object), token, success, failure)
}

// The administrator parameters, asked for without a token.
function postAdminParams(adminId, success, failure) {
    send("common/getAdminParams", "application/x-www-form-urlencoded", form([["admin_id", adminId]]), null,
         success, failure)
}

// The server's words of a reply: "msg" as text, empty when there is none.
function message(json) {
    return json.msg !== undefined && json.msg !== null ? String(json.msg) : ""
}

// Seconds since 1970-01-01 UTC as local "yyyy-MM-dd HH:mm:ss".
function getLocalTime(seconds) {
    return Qt.formatDateTime(new Date(Number(seconds) * 1000), "yyyy-MM-dd HH:mm:ss")
}
