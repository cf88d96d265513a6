#pragma once

#include "catalogue/settingsprovider.h"
#include "support/modelfixture.h"
#include "model/systemmodel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

// What the file-layer tests share: the catalogue of the program's own brand and systems built
// from it.
namespace AppFixture {

using ModelFixture::handleOf;
using ModelFixture::kTav1020;

// Loads the catalogue and returns an expansion module type with analogue inputs, so resource
// order and register tables span devices; 0 when the catalogue has none.
inline DeviceType_t loadCatalogue()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    const SettingsProvider& provider = SettingsProvider::instance();
    for (const DeviceType_t type : provider.pexTypes) {
        for (const IoChannel& channel : provider.templates.value(type).channels) {
            if (channel.kind == ResourceKind::Ain)
                return type;
        }
    }
    return 0;
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Runs `write` with files limited to `bytes`, as a disk that fills up would: writes past the limit
// fail with EFBIG, as long as the program's start has left the limit's signal ignored; the fixture
// leaves the signal alone. The limit is lifted again before returning.
// False when the limit could not be set (nothing ran then).
template <typename Write> bool withFileSizeLimit(rlim_t bytes, Write write)
{
    rlimit saved{};
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0)
        return false;
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    const bool limitedOk = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    if (limitedOk)
        write();
    setrlimit(RLIMIT_FSIZE, &saved);
    return limitedOk;
}

// Runs `access` with the file rights of an ordinary user, so folder permissions apply even when
// the tests run as root (whom they never stop). The file-system user id belongs to this thread
// alone and is given back before returning. False when the rights could not be dropped.
template <typename Access> bool asOrdinaryUser(Access access)
{
    if (geteuid() != 0) {
        access();
        return true;
    }
    constexpr uid_t kNobody = 65534;
    setfsuid(kNobody);
    const bool dropped = uid_t(setfsuid(kNobody)) == kNobody;
    if (dropped)
        access();
    setfsuid(0);
    return dropped;
}

constexpr QFile::Permissions kListable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser
                                        | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                        | QFile::ExeOther;

// A shared folder set up by an administrator: anyone may change the files in `folder`, nobody may
// add one; its parent `shared` lets everyone through. False when the rights could not be set.
inline bool lockFolder(const QString& shared, const QString& folder)
{
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                      | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        if (!QFile::setPermissions(file.filePath(), open))
            return false;
    }
    return QFile::setPermissions(shared, kListable | QFile::WriteOwner | QFile::WriteUser)
           && QFile::setPermissions(folder, kListable);
}

// Lets the owner of a locked folder add files again, so it can be removed.
inline void unlockFolder(const QString& folder)
{
    QFile::setPermissions(folder, kListable | QFile::WriteOwner | QFile::WriteUser);
}

} // namespace AppFixture
