#include "shell/filewriter.h"

#include "model/errorcodes.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace App::ErrorCode;

namespace {

// As many links as the system itself follows before it gives up.
constexpr int kMostLinks = 40;
// A dot and six letters make the temporary file's name unique beside the target.
constexpr int kTemporarySuffix = 7;
constexpr int kTemporaryAttempts = 100;

using Refused = FileWriter::Refused;

// The sub-code that names a system error's cause to the user; 0 for one they cannot act on. Every
// failure of a save is told through this, so a cause is named the same wherever it stops the save.
qint32 causeOf(int error, Refused refused)
{
    switch (error) {
    case EACCES:
    case EPERM: return refused == Refused::File ? FileWriteReadOnly : FileWriteFolderLocked;
    case ENOENT:
    case ENOTDIR: return FileWriteNoFolder;
    case EISDIR: return FileWriteDirectory;
    case ELOOP: return FileWriteLinkLoop;
    case ENAMETOOLONG: return FileWriteNameTooLong;
    // A FAT stick refuses names with characters its file system cannot hold.
    case EINVAL: return FileWriteNameRefused;
    case ENOSPC: return FileWriteNoSpace;
    case EDQUOT: return FileWriteQuota;
    // The system's limit on the size of a file the program writes (ulimit -f), or the file
    // system's largest file.
    case EFBIG: return FileWriteSizeLimit;
    case EROFS: return FileWriteReadOnlyDisk;
    case EIO: return FileWriteDiskError;
    default: return 0;
    }
}

// Refusals of the folder that writing the file in place gets round.
bool folderRefuses(int error)
{
    return error == EACCES || error == EPERM;
}

App::Error writeFailure(int error, Refused refused, const QString& text = QString())
{
    if (error < 0)
        return App::makeError(FileWrite, FileWriteShort, text);
    const qint32 cause = causeOf(error, refused);
    return App::makeError(FileWrite, cause != 0 ? cause : FileWriteFailed, text);
}

// Saving through a link writes the file it leads to and keeps the link.
QString linkTarget(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < kMostLinks && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

// 0, or the errno of the write that failed; -1 when the system took no byte and named no cause.
int writeFromStart(int fd, const QByteArray& bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return -1;
        done += n;
    }
    return 0;
}

bool readWhole(int fd, QByteArray& text)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, off_t(text.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        text.append(buffer, int(n));
    }
}

QByteArray folderOf(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// A file's extended attributes by name, its access list ("system.posix_acl_access") among them.
using Attributes = std::map<QByteArray, QByteArray>;

// Reads a buffer whose size the system tells first and which may grow in between; false on failure,
// with errno as the system left it.
template <typename Read> bool readSized(Read read, QByteArray& bytes)
{
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0)
            return false;
        bytes.resize(int(size));
        const ssize_t n = read(bytes.data(), size_t(bytes.size()));
        if (n >= 0) {
            bytes.truncate(int(n));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// The attributes `list` names and `get` gives, for a path or a descriptor alike. A file system
// that keeps none (ENOTSUP) gives none; false when one that exists cannot be read.
template <typename List, typename Get> bool readAttributes(List list, Get get, Attributes& attributes)
{
    QByteArray names;
    if (!readSized(list, names))
        return errno == ENOTSUP;
    for (const QByteArray& name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        QByteArray value;
        const auto read = [&](char* buffer, size_t size) { return get(name.constData(), buffer, size); };
        if (readSized(read, value))
            attributes[name] = value;
        else if (errno != ENODATA)
            return false;
    }
    return true;
}

// Gives the new file `to` the extended attributes of the file `from`, and no others: a folder's
// default access list must not give anyone rights the file did not give them. False when the new
// file cannot be given exactly those (attributes only the administrator may set, a file system
// that keeps none), or those of `from` cannot all be read.
bool copyAttributes(const QByteArray& from, int to)
{
    Attributes wanted;
    Attributes present;
    const bool read =
        readAttributes([&](char* list, size_t size) { return ::listxattr(from.constData(), list, size); },
                       [&](const char* name, char* value, size_t size) {
                           return ::getxattr(from.constData(), name, value, size);
                       },
                       wanted)
        && readAttributes([to](char* list, size_t size) { return ::flistxattr(to, list, size); },
                          [to](const char* name, char* value, size_t size) {
                              return ::fgetxattr(to, name, value, size);
                          },
                          present);
    if (!read)
        return false;
    for (const auto& [name, value] : wanted) {
        const auto given = present.find(name);
        if ((given == present.end() || given->second != value)
            && ::fsetxattr(to, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    }
    for (const auto& [name, value] : present) {
        if (wanted.count(name) == 0 && ::fremovexattr(to, name.constData()) != 0)
            return false;
    }
    return true;
}

QByteArray temporaryName(const QByteArray& target, long nameMax)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const int slash = target.lastIndexOf('/');
    // A name as long as the folder allows still gets its temporary file: the suffix takes the
    // place of the name's end.
    QByteArray name = target.left(slash + 1)
                      + target.mid(slash + 1).left(int(nameMax) - kTemporarySuffix) + '.';
    for (int i = 1; i < kTemporarySuffix; ++i)
        name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    return name;
}

} // namespace

FileWriter::FileWriter(const QString& path, qint32 notOpenedCode, qint32 notOpenedSubCode)
    : m_path(path)
    , m_notOpenedCode(notOpenedCode)
    , m_notOpenedSubCode(notOpenedSubCode)
{
}

FileWriter::~FileWriter()
{
    close();
    dropTemporary();
}

void FileWriter::refuse(int error, Refused refused)
{
    close();
    dropTemporary();
    const qint32 cause = causeOf(error, refused);
    throw cause != 0 ? App::makeError(FileWrite, cause) : App::makeError(m_notOpenedCode, m_notOpenedSubCode);
}

void FileWriter::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void FileWriter::dropTemporary()
{
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_temporary.clear();
}

void FileWriter::open()
{
    if (m_path.isEmpty())
        refuse(0, Refused::File);
    m_target = QFile::encodeName(linkTarget(m_path));
    struct stat status{};
    m_exists = ::stat(m_target.constData(), &status) == 0;
    // A name the system cannot follow (a link loop, a folder that cannot be searched) names
    // no file a save could write.
    if (!m_exists && errno != ENOENT)
        refuse(errno, Refused::Folder);
    m_regular = m_exists && S_ISREG(status.st_mode);
    // Only a regular file takes a configuration: a device (a link to /dev/null) or a named pipe
    // would swallow it, and a replacement would take their place from whoever relies on them.
    if (m_exists && !m_regular)
        throw App::makeError(FileWrite, S_ISDIR(status.st_mode) ? FileWriteDirectory : FileWriteNotAFile);
    // A read-only file stays so even in a folder that would let it be replaced.
    if (m_exists && ::faccessat(AT_FDCWD, m_target.constData(), W_OK, AT_EACCESS) != 0)
        refuse(errno, Refused::File);
    long nameMax = ::pathconf(folderOf(m_target).constData(), _PC_NAME_MAX);
    if (nameMax <= kTemporarySuffix)
        nameMax = NAME_MAX;
    if (m_target.size() - m_target.lastIndexOf('/') - 1 > nameMax)
        throw App::makeError(FileWrite, FileWriteNameTooLong);
    if (m_regular && status.st_nlink > 1) {
        openInPlace();
        return;
    }

    const mode_t mode = m_exists ? (status.st_mode & 07777) : 0666;
    for (int attempt = 0; attempt < kTemporaryAttempts && m_fd < 0; ++attempt) {
        m_temporary = temporaryName(m_target, nameMax);
        m_fd = ::open(m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        const int error = errno;
        m_temporary.clear();
        if (!folderRefuses(error) || !m_regular)
            refuse(error, Refused::Folder);
        openInPlace();
        return;
    }
    if (!m_exists)
        return;
    // The owner and group first: a change of owner clears the set-user and set-group bits. Then
    // the access list: the group bits of a file that has one are the list's mask, which would
    // become the group's own rights without it, while the people it names lose theirs. The mode
    // last: the creation mask may have narrowed it, it gives the list its mask as it was, and
    // setting the list may have cleared the set-group bit.
    struct stat created{};
    const bool owned = ::fstat(m_fd, &created) == 0
                       && ((created.st_uid == status.st_uid && created.st_gid == status.st_gid)
                           || ::fchown(m_fd, status.st_uid, status.st_gid) == 0);
    if (!owned || !copyAttributes(m_target, m_fd)) {
        close();
        dropTemporary();
        openInPlace();
        return;
    }
    ::fchmod(m_fd, mode);
}

void FileWriter::openInPlace()
{
    // Only an existing file is ever written in place; a new one has no place in the folder.
    if (!m_regular)
        refuse(EACCES, Refused::Folder);
    m_fd = ::open(m_target.constData(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0)
        refuse(errno, Refused::File);
    m_oldText.clear();
    if (!readWhole(m_fd, m_oldText))
        refuse(0, Refused::File);
}

int FileWriter::commit(const QByteArray& bytes)
{
    if (m_fd < 0)
        throw App::makeError(FileWrite, FileWriteFailed);
    if (!m_temporary.isEmpty())
        return commitReplacement(bytes);
    commitInPlace(bytes);
    return 0;
}

int FileWriter::commitReplacement(const QByteArray& bytes)
{
    int error = writeFromStart(m_fd, bytes);
    // A full disk or a quota may only show when the text goes to the disk.
    if (error == 0 && ::fsync(m_fd) != 0)
        error = errno;
    if (::close(m_fd) != 0 && error == 0)
        error = errno;
    m_fd = -1;
    if (error != 0) {
        dropTemporary();
        throw writeFailure(error, Refused::File);
    }
    if (::rename(m_temporary.constData(), m_target.constData()) != 0) {
        error = errno;
        dropTemporary();
        if (!folderRefuses(error) || !m_regular)
            throw writeFailure(error, Refused::Folder);
        openInPlace();
        commitInPlace(bytes);
        return 0;
    }
    m_temporary.clear();
    // The rename is only an entry in the folder: until the folder is on disk too, a power cut
    // may bring back the old file although the save was reported. A file system that cannot
    // sync a folder (EINVAL) writes its entries at once. The new text is in place by now, so a
    // failure here is no failed write: the caller says the disk did not confirm it.
    const int folder = ::open(folderOf(m_target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        if (::fsync(folder) != 0 && errno != EINVAL)
            error = errno;
        ::close(folder);
    }
    return error;
}

void FileWriter::commitInPlace(const QByteArray& bytes)
{
    int error = writeFromStart(m_fd, bytes);
    if (error == 0 && ::ftruncate(m_fd, off_t(bytes.size())) != 0)
        error = errno;
    if (error == 0 && ::fsync(m_fd) != 0)
        error = errno;
    if (error == 0) {
        close();
        return;
    }
    // The old text goes back over the blocks it held, so the disk that refused the new one has
    // room for it.
    bool restored = writeFromStart(m_fd, m_oldText) == 0
                    && ::ftruncate(m_fd, off_t(m_oldText.size())) == 0 && ::fsync(m_fd) == 0;
    // A limit below the old size stops the write back too, where the new text never reached:
    // what the file holds, not how the write back went, says whether the old text is there.
    QByteArray now;
    if (!restored && ::ftruncate(m_fd, off_t(m_oldText.size())) == 0 && readWhole(m_fd, now))
        restored = now == m_oldText;
    close();
    const char* outcome = restored ? QT_TRANSLATE_NOOP("FileOperations", "Файл сохранил прежнее содержимое.")
                                   : QT_TRANSLATE_NOOP("FileOperations",
                                                       "Прежнее содержимое файла восстановить не удалось.");
    throw writeFailure(error, Refused::File, QCoreApplication::translate("FileOperations", outcome));
}

int FileWriter::write(const QString& path, const QByteArray& bytes)
{
    FileWriter writer(path, FileWrite, FileWriteNotOpened);
    writer.open();
    return writer.commit(bytes);
}
