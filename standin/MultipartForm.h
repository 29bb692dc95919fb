#pragma once

#include <QByteArray>
#include <QList>

namespace standin {

// A multipart/form-data body split into its parts. Content-Disposition is
// read leniently (a trailing ";" after the name is accepted), as object
// stores do.
class MultipartForm
{
public:
    struct Part
    {
        QByteArray name;
        QByteArray contentType;
        QByteArray body;
    };

    // The boundary named in a Content-Type value; empty when there is none.
    static QByteArray boundary(const QByteArray& contentType);
    // False when the body does not follow the boundary's framing.
    static bool parse(const QByteArray& body, const QByteArray& boundary, QList<Part>* parts);

private:
    static Part readHeaders(const QByteArray& headers);
};

} // namespace standin
