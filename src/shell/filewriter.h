#pragma once

#include "model/apperror.h"

#include <QByteArray>
#include <QString>

// Writes the whole text of a file so that a failed write never costs the user the old file: the
// text goes to a temporary file beside the target, which takes the target's place only once every
// byte of it is on disk. A full disk or a file-size limit therefore leaves the old file as it was.
//
// The one exception is a file the user may write in a folder where they may not create files
// (a shared folder set up by an administrator): there is no room for a temporary file, so the file
// is written in place, as any editor would. Its old text is kept meanwhile and written back over
// the new one when that does not fit; it takes no more room than it held a moment before.
class FileWriter
{
public:
    explicit FileWriter(const QString& path);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // False when the target can be neither replaced nor written.
    bool open();
    // Why open() failed: (9, the cause) when it is one the user can act on (a read-only file, a
    // folder in the way, a full disk, ...), else (code, subCode) as the caller names the failure.
    App::Error openError(qint32 code, qint32 subCode) const;

    // Writes `bytes` as the file's whole text and puts the file in place. Throws App::Error with
    // the configuration file's code 9 and the cause as sub-code; (9, 16) when the system named
    // none, (9, 17) when it took fewer bytes than given without one. The target is untouched after
    // a failure; when it was written in place the error's text says whether its old text is back.
    void commit(const QByteArray& bytes);

    // open() and commit() in one; an open failure without a cause throws (9, 1).
    static void write(const QString& path, const QByteArray& bytes);

private:
    bool refuse(qint32 cause);
    void commitInPlace(const QByteArray& bytes);
    void close();

    QString m_path;
    QByteArray m_target;     // the file a link leads to, named for the system
    QByteArray m_temporary;  // empty while the target is written in place
    QByteArray m_oldText;    // the target's text while it is written in place
    int m_fd = -1;
    qint32 m_cause = 0;
};
