#include "shell/filewriter.h"

#include "model/errorcodes.h"

#include <QByteArray>
#include <QFileInfo>

using namespace App::ErrorCode;

FileWriter::FileWriter(const QString& path)
    : m_file(path)
{
}

bool FileWriter::open()
{
    // Only an existing file is ever written in place; the save file falls back to that only when
    // the folder refuses the temporary file.
    m_file.setDirectWriteFallback(QFileInfo(m_file.fileName()).isFile());
    return m_file.open(QIODevice::WriteOnly);
}

void FileWriter::commit(const QByteArray& bytes)
{
    const qint64 written = m_file.write(bytes);
    if (written == -1)
        throw App::makeError(FileWrite, FileWriteFailed);
    if (written != bytes.size())
        throw App::makeError(FileWrite, FileWriteShort);
    // A text shorter than the device's buffer is only written out here. The save file's commit
    // would write it too, but it ignores a failure of that last write and puts the incomplete file
    // in place of the old one.
    if (!m_file.flush() || m_file.error() != QFileDevice::NoError)
        throw App::makeError(FileWrite, FileWriteFailed);
    if (!m_file.commit())
        throw App::makeError(FileWrite, FileWriteFailed);
}

void FileWriter::write(const QString& path, const QByteArray& bytes)
{
    FileWriter writer(path);
    if (!writer.open())
        throw App::makeError(FileWrite, FileWriteNotOpened);
    writer.commit(bytes);
}
