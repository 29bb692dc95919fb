#include "Records.h"

#include "FieldCipher.h"

#include <QJsonArray>

namespace standin {

namespace {
const qint64 kFirstRecordTime = 1700000000;
const qint64 kDay = 86400;
} // namespace

void Records::generate(const QList<Accounts::Account>& accounts, const QStringList& designs)
{
    int savedId = 1001;
    int cutId = 5001;
    for (const Accounts::Account& account : accounts) {
        for (int i = 1; i <= account.savedVersions; ++i) {
            Record record;
            record.id = savedId++;
            record.accountId = account.id;
            record.name = i % 5 == 0 ? QStringLiteral("方案 %1").arg(i) : QStringLiteral("Version %1").arg(i);
            record.design = designs.at(i % designs.size());
            record.jpegImage = i % 10 == 3;
            record.createtime = kFirstRecordTime + i * kDay;
            const bool shared = i % 3 == 0;
            record.status = shared ? QStringLiteral("normal") : QStringLiteral("hidden");
            record.password = shared ? QString::number(4000 + i) : QString();
            record.shareCode = QStringLiteral("SC%1").arg(record.id, 6, 10, QLatin1Char('0'));
            m_saved.append(record);
        }
        for (int i = 1; i <= account.cutRecords; ++i) {
            Record record;
            record.id = cutId++;
            record.accountId = account.id;
            record.name = i % 4 == 0 ? QString() : QStringLiteral("Cut %1").arg(i);
            record.design = designs.at(i % designs.size());
            record.createtime = kFirstRecordTime + i * kDay / 2;
            record.area = QString::number(0.25 * i, 'f', 2);
            m_cuts.append(record);
        }
    }
    m_nextCutId = cutId;
}

Records::Record Records::storedRecord(
    int id, int accountId, const QString& name, const QString& packageKey, const QString& imageKey, qint64 now)
{
    Record record;
    record.id = id;
    record.accountId = accountId;
    record.name = name;
    record.packageKey = packageKey;
    record.imageKey = imageKey;
    record.createtime = now;
    return record;
}

int Records::addCut(int accountId, const QString& name, const QString& packageKey, const QString& imageKey,
    const QString& area, qint64 now)
{
    Record record = storedRecord(m_nextCutId++, accountId, name, packageKey, imageKey, now);
    record.area = area;
    m_cuts.append(record);
    return record.id;
}

QString Records::packageAddress(const Record& record, const QString& origin)
{
    return record.packageKey.isEmpty() ? origin + QStringLiteral("designs/%1.pdb").arg(record.design)
                                       : origin + QStringLiteral("files/") + record.packageKey;
}

QJsonObject Records::row(Kind kind, const Record& record, const QString& origin)
{
    QString image = record.jpegImage ? origin + QStringLiteral("files/allcutorsave/%1.jpg").arg(record.id)
                                     : origin + QStringLiteral("designs/%1.png").arg(record.design);
    if (!record.imageKey.isEmpty())
        image = origin + QStringLiteral("files/") + record.imageKey;
    QJsonObject row { { QStringLiteral("id"), record.id }, { QStringLiteral("name"), record.name },
        { QStringLiteral("image"), FieldCipher::encrypt(image) },
        { QStringLiteral("turl"), FieldCipher::encrypt(packageAddress(record, origin)) },
        { QStringLiteral("createtime"), record.createtime } };
    if (kind == CutRecord) {
        row.insert(QStringLiteral("area"), record.area);
        return row;
    }
    row.insert(QStringLiteral("content"), QString());
    row.insert(QStringLiteral("status"), record.status);
    row.insert(QStringLiteral("password"), record.password.isEmpty() ? QJsonValue() : QJsonValue(record.password));
    row.insert(QStringLiteral("share_code"), record.shareCode);
    return row;
}

QJsonObject Records::page(
    Kind kind, int accountId, const QString& keywords, int limit, int page, const QString& origin) const
{
    QList<const Record*> matching;
    for (const Record& record : list(kind)) {
        if (record.accountId == accountId && record.name.contains(keywords, Qt::CaseInsensitive))
            matching.prepend(&record);
    }
    QJsonArray rows;
    const int first = (qMax(page, 1) - 1) * limit;
    for (int i = first; i < matching.size() && i < first + limit; ++i)
        rows.append(row(kind, *matching.at(i), origin));
    return QJsonObject { { QStringLiteral("total"), matching.size() }, { QStringLiteral("data"), rows } };
}

Records::Record* Records::find(Kind kind, int accountId, int id)
{
    for (Record& record : list(kind)) {
        if (record.accountId == accountId && record.id == id)
            return &record;
    }
    return nullptr;
}

bool Records::remove(Kind kind, int accountId, int id)
{
    QList<Record>& records = list(kind);
    for (int i = 0; i < records.size(); ++i) {
        if (records.at(i).accountId == accountId && records.at(i).id == id) {
            records.removeAt(i);
            return true;
        }
    }
    return false;
}

Records::SaveResult Records::save(
    int accountId, const QString& name, const QString& packageKey, const QString& imageKey, bool overwrite, qint64 now)
{
    int nextId = 1;
    for (int i = 0; i < m_saved.size(); ++i) {
        nextId = qMax(nextId, m_saved.at(i).id + 1);
        if (m_saved.at(i).accountId != accountId || m_saved.at(i).name != name)
            continue;
        if (!overwrite)
            return NameTaken;
        // The replaced design keeps its id and sharing, and lists as the newest.
        Record record = m_saved.takeAt(i);
        record.packageKey = packageKey;
        record.imageKey = imageKey;
        record.jpegImage = false;
        record.createtime = now;
        m_saved.append(record);
        return Replaced;
    }
    Record record = storedRecord(nextId, accountId, name, packageKey, imageKey, now);
    record.status = QStringLiteral("hidden");
    record.shareCode = QStringLiteral("SC%1").arg(record.id, 6, 10, QLatin1Char('0'));
    m_saved.append(record);
    return Created;
}

const Records::Record* Records::findShared(const QString& shareCode, const QString& password) const
{
    for (const Record& record : m_saved) {
        if (record.status == QLatin1String("normal") && !record.password.isEmpty() && record.shareCode == shareCode
            && record.password == password)
            return &record;
    }
    return nullptr;
}

} // namespace standin
