#pragma once

#include <QSaveFile>
#include <QString>

class QByteArray;

// Writes the whole text of a file so that a failed write never costs the user the old file: the
// text goes to a temporary file beside the target, which takes the target's place only once every
// byte of it is on disk. A full disk or a file-size limit therefore leaves the old file as it was.
//
// The one exception is a file the user may write in a folder where they may not create files
// (a shared folder set up by an administrator): there is no room for a temporary file, so the file
// is written in place, as any editor would, and a failure then leaves it as the system left it.
class FileWriter
{
public:
    explicit FileWriter(const QString& path);

    // False when the target can be neither replaced nor written.
    bool open();

    // Writes `bytes` as the file's whole text and puts the file in place. Throws App::Error with
    // the configuration file's codes: (9, 16) when the write failed, (9, 17) when fewer bytes were
    // written than given. The target is untouched after a failure.
    void commit(const QByteArray& bytes);

    // open() and commit() in one; an open failure throws (9, 1).
    static void write(const QString& path, const QByteArray& bytes);

private:
    QSaveFile m_file;
};
