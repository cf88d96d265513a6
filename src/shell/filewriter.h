#pragma once

#include "model/apperror.h"

#include <QByteArray>
#include <QString>

// Writes the whole text of a file so that a failed write never costs the user the old file, and a
// file shared with others stays theirs as much as it was.
//
// What a save keeps: the file a link leads to is written and the link stays; the file keeps its
// permission bits, its owner, its group, its access list and its other extended attributes, and
// every other name (hard link) it has goes on naming it. What it cannot keep: attributes the system
// hides from the user (trusted ones, to all but the administrator) go with a replaced file.
//
// Normally the text goes to a temporary file beside the target, which takes the target's place, and
// the folder is synced, only once every byte of it is on disk: a full disk or a file-size limit leaves
// the old file as it was, and a power cut leaves either the old file or the new one. A folder whose
// sync fails once the new file is in place leaves the save done but unconfirmed (see commit()).
//
// Fallback policy: the file is written in place, as any editor would, wherever the replacement would
// take something from the file or the system refuses it:
// - the file has other hard links, which a replacement would leave holding the old text;
// - the temporary file cannot be given the file's owner and group (another user's file in a shared
//   folder: the replacement would take the file away from its owner and its team), or its access
//   list and extended attributes exactly (attributes only the administrator may set, a file system
//   that keeps none, a folder's default access list the file itself does not have);
// - the folder refuses the temporary file (a folder where the user may change files but not add
//   them) or its rename over the file (a sticky folder such as /tmp, another user's file).
// In place, the old text is kept meanwhile and written back over the new one when that does not
// fit; it takes no more room than it held a moment before. A new file is never written in place.
class FileWriter
{
public:
    // Every failure throws App::Error with the configuration file's code 9 and, as sub-code, the
    // cause when it is one the user can act on (a read-only file or disk, a folder or a device in
    // the way, a full disk, a file-size limit, ...); else (9, 16) when writing failed, (9, 17)
    // when the system took fewer bytes than given without a cause, and (notOpenedCode,
    // notOpenedSubCode) when the file could not be opened for a cause the user cannot act on. The
    // target is untouched after a failure; when it was written in place the error's text says
    // whether its old text is back.
    FileWriter(const QString& path, qint32 notOpenedCode, qint32 notOpenedSubCode);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Finds whether and where the file can be written; throws when it cannot.
    void open();
    // Writes `bytes` as the file's whole text and puts the file in place; throws on failure. 0 once
    // the disk has confirmed it all; else the system's error of the folder's sync that failed after
    // the new file had taken the old one's place: the file holds the new text, but a power cut may
    // yet bring back the old one.
    [[nodiscard]] int commit(const QByteArray& bytes);

    // open() and commit() in one.
    [[nodiscard]] static int write(const QString& path, const QByteArray& bytes);

    // Whose refusal a denied right (EACCES, EPERM) is: the file's own, or its folder's.
    enum class Refused { File, Folder };

private:
    [[noreturn]] void refuse(int error, Refused refused);
    void openInPlace();
    int commitReplacement(const QByteArray& bytes);
    void commitInPlace(const QByteArray& bytes);
    void dropTemporary();
    void close();

    QString m_path;
    qint32 m_notOpenedCode;
    qint32 m_notOpenedSubCode;
    QByteArray m_target;     // the file a link leads to, named for the system
    QByteArray m_temporary;  // empty while the target is written in place
    QByteArray m_oldText;    // the target's text while it is written in place
    bool m_exists = false;
    bool m_regular = false;
    int m_fd = -1;
};
