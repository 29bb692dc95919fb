#pragma once

#include <QByteArray>
#include <QList>
#include <QPolygonF>
#include <QString>

// Reading back what a cut job sent, as an independent reader would.
namespace TestHpgl {

using Lines = QList<QPolygonF>;

// The pen moves of each frame ("FR" between frames) as polylines in plotter
// units: "PU x,y" starts one, "PD" adds its points.
inline QList<Lines> frames(const QByteArray& hpgl)
{
    QList<Lines> result { Lines() };
    for (const QByteArray& command : hpgl.split(';')) {
        const QByteArray name = command.left(2);
        QList<double> numbers;
        for (const QByteArray& n : command.mid(2).split(','))
            if (!n.isEmpty())
                numbers << n.toDouble();
        if (name == "FR")
            result << Lines();
        else if (name == "PU" && numbers.size() == 2)
            result.last() << QPolygonF(QVector<QPointF> { QPointF(numbers[0], numbers[1]) });
        for (int i = 0; name == "PD" && !result.last().isEmpty() && i + 1 < numbers.size(); i += 2)
            result.last().last() << QPointF(numbers[i], numbers[i + 1]);
    }
    return result;
}

// The polylines of the whole job in millimetres, each frame moved to where
// it lies on the roll.
inline Lines laidOut(const QByteArray& hpgl, double unitsPerMillimetre, double frameLength)
{
    Lines lines;
    const QList<Lines> all = frames(hpgl);
    for (int k = 0; k < all.size(); ++k) {
        for (const QPolygonF& line : all[k]) {
            QPolygonF placed;
            for (const QPointF& p : line)
                placed << QPointF(p.x() / unitsPerMillimetre + k * frameLength, p.y() / unitsPerMillimetre);
            lines << placed;
        }
    }
    return lines;
}

// Empty when the bytes a stopped job sent are the job's own whole commands,
// the one under way at most cut after a whole point of a pen-down list, and
// then the closing; otherwise what is wrong.
inline QString stopFault(const QByteArray& job, const QByteArray& received, const QByteArray& closing)
{
    if (received.isEmpty() || received == job)
        return QString();
    if (!received.endsWith(closing))
        return QStringLiteral("no closing at the end: ...%1").arg(QString::fromLatin1(received.right(30)));
    const QByteArray body = received.left(received.size() - closing.size());
    if (!body.isEmpty() && !body.endsWith(';'))
        return QStringLiteral("a broken command before the closing: ...%1").arg(QString::fromLatin1(body.right(30)));
    const QList<QByteArray> sent = body.split(';');
    const QList<QByteArray> own = job.split(';');
    for (int i = 0; i + 1 < sent.size(); ++i) {
        const QByteArray& command = sent[i];
        const bool last = i + 2 == sent.size();
        const bool wholePoints = command.startsWith("PD") && command.count(',') % 2 == 1;
        if (i < own.size() && (command == own[i] || (last && wholePoints && own[i].startsWith(command + ','))))
            continue;
        return QStringLiteral("command %1 \"%2\" is not the job's").arg(i).arg(QString::fromLatin1(command.left(40)));
    }
    return QString();
}

} // namespace TestHpgl
