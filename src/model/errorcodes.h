#pragma once

#include "model/apperror.h"

// The codes and sub-codes the program's errors carry. One part raises them and another turns them
// into what the user is told (the dialout hint, a format or integrity error, a missing serial
// port), so each number is written here and nowhere else. A sub-code is named after its code;
// where it is the system's error number it has no name.
namespace App {
namespace ErrorCode {

// The configuration file does not open for reading, or is not JSON.
constexpr qint32 FileRead = 8;
constexpr qint32 FileReadNotOpened = 1;
constexpr qint32 FileReadNotJson = 2;
// Causes of a file that does not open, beyond the format's own: each gets a message of its own.
constexpr qint32 FileReadNotFound = 3;
constexpr qint32 FileReadNoPermission = 4;
constexpr qint32 FileReadDirectory = 5;
constexpr qint32 FileReadNotAFile = 6;
constexpr qint32 FileReadLinkLoop = 7;
constexpr qint32 FileReadEmpty = 8;
constexpr qint32 FileReadTooLarge = 9;

// The system breaks one of its rules (said in the error's text): the sub-code of ModelRead for a
// file read, ModelWrite for a save, Export for an export.
constexpr qint32 RuleBroken = 20;

// The configuration file or an export is not written.
constexpr qint32 FileWrite = 9;
constexpr qint32 FileWriteNotOpened = 1;
constexpr qint32 FileWriteNothing = 11;
constexpr qint32 FileWriteFailed = 16;
constexpr qint32 FileWriteShort = 17;
// Causes of a file that is not written which the user can do something about: each gets a message
// of its own that says what.
constexpr qint32 FileWriteNoFolder = 3;
constexpr qint32 FileWriteFolderLocked = 4;
constexpr qint32 FileWriteDirectory = 5;
constexpr qint32 FileWriteNameTooLong = 6;
constexpr qint32 FileWriteNoSpace = 7;
constexpr qint32 FileWriteReadOnly = 8;
constexpr qint32 FileWriteReadOnlyDisk = 9;
constexpr qint32 FileWriteNotAFile = 10;
constexpr qint32 FileWriteLinkLoop = 12;
constexpr qint32 FileWriteSizeLimit = 13;
constexpr qint32 FileWriteQuota = 14;
constexpr qint32 FileWriteDiskError = 15;
constexpr qint32 FileWriteNameRefused = 18;

// The configuration file is JSON but not a configuration; a checksum mismatch is an integrity
// error to the user.
constexpr qint32 FileContents = 10;
constexpr qint32 FileContentsNoSection = 4;
constexpr qint32 FileContentsNoData = 5;
constexpr qint32 FileContentsNoChecksum = 6;
constexpr qint32 FileContentsChecksum = 7;
constexpr qint32 FileContentsEmptyData = 11;

// The model does not read or write itself.
constexpr qint32 ModelRead = 14;
constexpr qint32 ModelReadFailed = 12;
constexpr qint32 ModelWrite = 15;
constexpr qint32 ModelWriteFailed = 13;

// The Modbus RTU context cannot be made or set up; the port does not open (sub-code: errno).
constexpr qint32 RtuContext = 21;
constexpr qint32 RtuContextRefused = 24;
constexpr qint32 PortOpen = 25;

// A configuration read from the controller does not decode.
constexpr qint32 ConfigurationParse = 27;
constexpr qint32 ConfigurationParseFailed = 12;

// A register list or map is not exported.
constexpr qint32 Export = 43;
constexpr qint32 ExportNoSystemEntry = 0;
constexpr qint32 ExportNoSerialPort = 1;
constexpr qint32 ExportFileNotOpened = 43;

// A device request's error record: failed, with what failed as sub-code and the transfer's result
// or a fixed detail.
constexpr qint32 RequestFailed = 1;
constexpr qint32 RequestDataRefused = 18;
constexpr qint32 RequestDataRefusedDetail = 20;
constexpr qint32 RequestPartFailed = 21;
constexpr qint32 RequestPartFailedDetail = 23;
constexpr qint32 RequestReadFailed = 1819;
constexpr qint32 RequestControlWriteFailed = 1822;
constexpr qint32 RequestWriteFailed = 2122;

} // namespace ErrorCode

inline Error makeError(qint32 code, qint32 subCode, const QString& text = QString())
{
    Error e;
    e.code = code;
    e.subCode = subCode;
    e.text = text;
    return e;
}

} // namespace App
