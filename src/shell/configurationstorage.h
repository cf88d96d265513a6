#pragma once

#include "model/apperror.h"
#include "model/errorcodes.h"

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

    // Causes of a file that does not open, beyond the format's own: each gets a message of its own.
    enum OpenFailure : qint32 {
        NotFound = App::ErrorCode::FileReadNotFound,
        NoPermission = App::ErrorCode::FileReadNoPermission,
        Directory = App::ErrorCode::FileReadDirectory,
        NotAFile = App::ErrorCode::FileReadNotAFile,
        LinkLoop = App::ErrorCode::FileReadLinkLoop,
        EmptyFile = App::ErrorCode::FileReadEmpty,
        TooLarge = App::ErrorCode::FileReadTooLarge,
    };
    // The system breaks one of its rules (SystemModel::brokenRule, said in the error's text).
    static constexpr qint32 RuleBroken = App::ErrorCode::RuleBroken;

    // No configuration can take more bytes than this: the most devices the editor adds, each with
    // the longest label and group name, and their settings. A read takes no larger file, and a
    // save writes none.
    static qint64 largestFileSize();
    // A byte count as the messages show it, in the interface's language ("134 217 728").
    static QString bytesText(qint64 bytes);

    // The last save or export put its file in place, but the disk did not confirm it: it is no
    // failure, yet a power cut may still bring back the old file.
    bool unconfirmed() const { return m_unconfirmed; }

    App::Error lastError() const { return m_lastError; }
    qint32 lastErrorCode() const { return m_lastError.code; }
    qint32 lastErrorSubCode() const { return m_lastError.subCode; }
    const QString& lastErrorText() const { return m_lastError.text; }

    // What the File menu tells the user about a failed load: one line naming the failure, then
    // the file on the next line. The text of the error completes the line where a cause needs it
    // (the rule a system breaks, the size of a file).
    static QString loadErrorText(qint32 code, qint32 subCode, const QString& text = QString());
    static QString loadErrorMessage(const App::Error& error, const QString& fileName);
    // ", error in the configuration: " and the rule, for the message of a refused save or export.
    static QString brokenRuleText(const App::Error& error);
    // What the user is told about a file that was not written: `failed` (what could not be
    // done), the cause, what became of a file written in place, and what to do about it.
    static QString writeErrorText(const QString& failed, const App::Error& error);

private:
    void write();
    void read(const QString& path);

    // Throws (code, RuleBroken) when the model breaks a rule of every system: what is written
    // must open again.
    void refuseBrokenSystem(qint32 code) const;
    void serialize(QJsonObject& data) const;
    void deserialize(const QJsonObject& data);
    static QString checksum(const QJsonObject& data);
    void pack(const QString& key, QJsonObject& root, const QJsonObject& data) const;
    static void unpack(const QString& key, const QJsonObject& root, QJsonObject& data);
    // The file's text; throws (ModelWrite, RuleBroken) when it is larger than a read takes.
    static QByteArray documentText(const QJsonObject& root);
    // What FileWriter::commit answers.
    static int writeDocument(const QString& path, const QByteArray& text);
    // Logs `line` and marks the write unconfirmed when the disk did not confirm it (`error`).
    void noteUnconfirmed(const char* line, int error, const QString& path);
    static QJsonObject readDocument(const QString& path);

    SystemModel* m_model;
    QString m_fileName;
    QJsonObject m_lastData;
    App::Error m_lastError;
    bool m_unconfirmed = false;
};
