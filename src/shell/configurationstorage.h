#pragma once

#include "model/apperror.h"

#include <QJsonObject>
#include <QObject>
#include <QString>

class SystemModel;

// Saves the edited system to a configuration file (".tavc") and opens it again, guarding the
// system data with an MD5 checksum; also writes the CSV register list. Every operation catches
// the App::Error of its steps, logs it and keeps it as the last error, so the File menu only has
// to test the result and pick a message.
//
// Users keep their only copy of a plant's configuration in these files, so a save goes through a
// temporary file that replaces the old one only once it is complete, and a load touches the model
// only once the whole file has proved readable.
class ConfigurationStorage : public QObject
{
    Q_OBJECT

public:
    explicit ConfigurationStorage(SystemModel* model, QObject* parent = nullptr);

    static QString defaultFileName();

    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    // The system's JSON as the last save wrote it or the last successful load read it.
    const QJsonObject& lastData() const { return m_lastData; }

    void reset();
    bool save();
    bool load(const QString& path);
    // An empty path is a cancelled dialog: nothing is written and the answer is true.
    bool exportCsv(const QString& path);

    App::Error lastError() const { return m_lastError; }
    qint32 lastErrorCode() const { return m_lastError.code; }
    qint32 lastErrorSubCode() const { return m_lastError.subCode; }
    const QString& lastErrorText() const { return m_lastError.text; }

    // What the File menu tells the user about a failed load: one line naming the failure, then
    // the file on the next line.
    static QString loadErrorText(qint32 code, qint32 subCode);
    static QString loadErrorMessage(const App::Error& error, const QString& fileName);

private:
    void write();
    void read(const QString& path);

    void serialize(QJsonObject& data) const;
    void deserialize(const QJsonObject& data);
    static QString checksum(const QJsonObject& data);
    void pack(const QString& key, QJsonObject& root, const QJsonObject& data) const;
    static void unpack(const QString& key, const QJsonObject& root, QJsonObject& data);
    static void writeDocument(const QString& path, const QJsonObject& root);
    static QJsonObject readDocument(const QString& path);

    SystemModel* m_model;
    QString m_fileName;
    QJsonObject m_lastData;
    App::Error m_lastError;
};
