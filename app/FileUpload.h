#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QJsonObject;

// Lets a QML page turn a CSV list of templates into ".pdb" packages beside
// it and upload them, one after the other, to the cloud object store.
class FileUpload : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ getName WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(int year READ getYear WRITE setYear NOTIFY yearChanged)
public:
    // Pause between the starts of two uploads.
    static const int kUploadIntervalMs = 300;

    explicit FileUpload(QObject* parent = nullptr);

    QString getName() const { return m_name; }
    void setName(const QString& name);
    int getYear() const;
    void setYear(int year);

    Q_INVOKABLE void sendSignal();
    // Asks for the CSV file, writes a package for every usable row and
    // announces the rows through cppSignalB.
    Q_INVOKABLE void openFile();
    // Uploads the packages of the last openFile, one every kUploadIntervalMs,
    // without blocking; a call while a batch is still being started is ignored.
    Q_INVOKABLE void sureUpload();

signals:
    void cppSignalA();
    void cppSignalB(QString json, QString folder);
    void nameChanged(QString name);
    void yearChanged(int year);
    void fileChange(int index);
    // The outcome of upload number index: the store's reply, or the error.
    void uploadFinished(int index, bool success, QString detail);

public slots:
    void cppSlotA();
    void cppSlotB(QString text, int value);

private:
    bool packRow(const QStringList& fields, const QString& folder, QString* packagePath) const;
    static QJsonObject rowObject(const QStringList& fields);
    static QStringList readLines(const QString& path);
    void uploadNext();

    QStringList m_files;
    QString m_csvDir;
    QString m_name = QStringLiteral("none");
    int m_year = 0;
    QStringList m_batch;
    int m_next = 0;
    bool m_uploading = false;
};
