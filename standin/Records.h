#pragma once

#include "Accounts.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace standin {

// The accounts' own records: designs saved to the cloud ("saved versions")
// and the cut jobs recorded when they cut ("crop records"). Their image and
// package addresses go out enciphered.
class Records
{
public:
    enum Kind { SavedVersion, CutRecord };

    struct Record
    {
        int id = 0;
        int accountId = 0;
        QString name;
        QString design;
        bool jpegImage = false;
        qint64 createtime = 0;
        QString status;
        QString password;
        QString shareCode;
        QString area;
        // Objects in the store of a design saved from the editor; empty for
        // the fixture's records, which name a fixture design.
        QString packageKey;
        QString imageKey;
    };

    enum SaveResult { Created, Replaced, NameTaken };

    void generate(const QList<Accounts::Account>& accounts, const QStringList& designs);

    // One page of an account's records whose name contains the keywords,
    // newest first: {"total", "data"}. Addresses start at origin.
    QJsonObject page(
        Kind kind, int accountId, const QString& keywords, int limit, int page, const QString& origin) const;
    Record* find(Kind kind, int accountId, int id);
    // Records a design that the account stored; a name the account already
    // holds is replaced only when overwrite is asked for.
    SaveResult save(int accountId, const QString& name, const QString& packageKey, const QString& imageKey,
        bool overwrite, qint64 now);
    // The shared saved version with that share code and password.
    const Record* findShared(const QString& shareCode, const QString& password) const;
    // Where a record's package is downloaded, at origin.
    static QString packageAddress(const Record& record, const QString& origin);
    // Records a cut job of the account; its id.
    int addCut(int accountId, const QString& name, const QString& packageKey, const QString& imageKey,
        const QString& area, qint64 now);
    bool remove(Kind kind, int accountId, int id);

private:
    QList<Record>& list(Kind kind) { return kind == SavedVersion ? m_saved : m_cuts; }
    const QList<Record>& list(Kind kind) const { return kind == SavedVersion ? m_saved : m_cuts; }
    static QJsonObject row(Kind kind, const Record& record, const QString& origin);
    // A record of a design that a client stored.
    static Record storedRecord(
        int id, int accountId, const QString& name, const QString& packageKey, const QString& imageKey, qint64 now);

    QList<Record> m_saved;
    QList<Record> m_cuts;
    int m_nextCutId = 0;
};

} // namespace standin
