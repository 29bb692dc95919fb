#pragma once

#include "MultipartForm.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

namespace standin {

// One request as the stand-in received it: the raw parts, and the fields
// read from its query, form, JSON or multipart body.
struct StandInRequest
{
    QByteArray method;
    // The path without the query, percent-decoded.
    QString path;
    // The request target exactly as sent.
    QByteArray target;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // Query items, then form items, in the order sent.
    QList<QPair<QString, QString>> form;
    QJsonObject json;
    QList<MultipartForm::Part> parts;

    // Reads everything from the raw parts filled in above.
    void decode();

    // Case-insensitive; empty when absent.
    QByteArray header(const QByteArray& name) const;
    bool hasHeader(const QByteArray& name) const;
    bool hasField(const QString& name) const;
    // A JSON member (text or number) or the first form item of that name.
    QString field(const QString& name) const;
    const MultipartForm::Part* part(const QByteArray& name) const;
    // "http://" + the Host header + "/": the address the client used.
    QString origin() const;
};

} // namespace standin
