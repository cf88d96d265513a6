#include "shell/configurationstorage.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "shell/csvexporter.h"
#include "shell/filewriter.h"
#include "model/errorcodes.h"
#include "model/systemmodel.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>

#include <algorithm>
#include <iterator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
const QString kData = QStringLiteral("data");
const QString kChecksum = QStringLiteral("cs");
const QString kVendor = QStringLiteral("Vendor");
const QString kSkipChecking = QStringLiteral("skip_checking_cs");

// The debug line of a parse error quotes the file around the error, not the file.
constexpr int kQuoteBefore = 10;
constexpr int kQuoteLength = 30;

using namespace App::ErrorCode;

// A device's own part of the file, its settings and those of its resources, indented as deep as
// the file holds them, takes a few kilobytes for the largest template; this leaves room for any
// indentation a person might give the file by hand.
constexpr qint64 kDeviceBytes = 256 * 1024;
// Labels and group names are typed into line edits, which take at most this many characters.
constexpr qint64 kLongestText = 32767;
// A character of a JSON string takes at most six bytes (a control character as \uXXXX).
constexpr qint64 kBytesPerCharacter = 6;
// The frame, the vendor and the copy of the catalogue's data sizes.
constexpr qint64 kFrameBytes = 1024 * 1024;

App::Error openFailure(int cause)
{
    switch (cause) {
    case ENOENT:
    case ENOTDIR: return App::makeError(FileRead, ConfigurationStorage::NotFound);
    case EACCES:
    case EPERM: return App::makeError(FileRead, ConfigurationStorage::NoPermission);
    case ELOOP: return App::makeError(FileRead, ConfigurationStorage::LinkLoop);
    case EISDIR: return App::makeError(FileRead, ConfigurationStorage::Directory);
    default: return App::makeError(FileRead, FileReadNotOpened);
    }
}

// The causes of a file that is not written which the user can act on: the cause completes the line
// of what failed, the remedy follows on a line of its own.
struct WriteFailure
{
    qint32 subCode;
    const char* cause;
    const char* remedy;
};

const WriteFailure kWriteFailures[] = {
    {FileWriteReadOnly, QT_TRANSLATE_NOOP("FileOperations", "файл защищён от записи"),
     QT_TRANSLATE_NOOP("FileOperations", "Снимите с файла защиту от записи или выберите другое имя.")},
    {FileWriteReadOnlyDisk, QT_TRANSLATE_NOOP("FileOperations", "диск защищён от записи"),
     QT_TRANSLATE_NOOP("FileOperations",
                       "Снимите защиту от записи с диска (переключатель на карте или флешке) или выберите другой диск.")},
    {FileWriteFolderLocked, QT_TRANSLATE_NOOP("FileOperations", "нет прав на запись в папку"),
     QT_TRANSLATE_NOOP("FileOperations",
                       "Выберите другую папку или попросите администратора дать права на запись в неё.")},
    {FileWriteDirectory, QT_TRANSLATE_NOOP("FileOperations", "под этим именем уже есть папка"),
     QT_TRANSLATE_NOOP("FileOperations", "Выберите другое имя.")},
    {FileWriteNoFolder, QT_TRANSLATE_NOOP("FileOperations", "такой папки нет"),
     QT_TRANSLATE_NOOP("FileOperations", "Выберите существующую папку.")},
    {FileWriteNameTooLong, QT_TRANSLATE_NOOP("FileOperations", "слишком длинное имя файла"),
     QT_TRANSLATE_NOOP("FileOperations", "Выберите более короткое имя.")},
    {FileWriteNoSpace, QT_TRANSLATE_NOOP("FileOperations", "на диске не хватает места"),
     QT_TRANSLATE_NOOP("FileOperations", "Освободите место на диске или выберите другой диск.")},
    {FileWriteNotAFile, QT_TRANSLATE_NOOP("FileOperations", "это не обычный файл"),
     QT_TRANSLATE_NOOP("FileOperations", "Выберите другое имя.")},
    {FileWriteLinkLoop, QT_TRANSLATE_NOOP("FileOperations", "ссылки на файл образуют петлю"),
     QT_TRANSLATE_NOOP("FileOperations", "Выберите другое имя.")},
    {FileWriteSizeLimit, QT_TRANSLATE_NOOP("FileOperations", "файл превысил допустимый размер"),
     QT_TRANSLATE_NOOP("FileOperations",
                       "Снимите ограничение размера файлов, заданное программе (ulimit -f), или выберите другой диск.")},
    {FileWriteQuota, QT_TRANSLATE_NOOP("FileOperations", "исчерпана ваша квота на диске"),
     QT_TRANSLATE_NOOP("FileOperations",
                       "Удалите ненужные файлы или попросите администратора увеличить квоту.")},
    {FileWriteNameRefused, QT_TRANSLATE_NOOP("FileOperations", "этот диск не допускает такое имя файла"),
     QT_TRANSLATE_NOOP("FileOperations",
                       "Уберите из имени знаки : * ? \" < > | \\ или выберите другой диск.")},
    {FileWriteDiskError, QT_TRANSLATE_NOOP("FileOperations", "ошибка ввода-вывода на диске"),
     QT_TRANSLATE_NOOP("FileOperations", "Проверьте диск и его подключение, затем повторите запись.")},
};

// What became of a file written in place, on a line of its own; nothing for any other failure.
QString inPlaceOutcome(const App::Error& error)
{
    if (error.code != FileWrite || error.text.isEmpty())
        return QString();
    return QLatin1Char('\n') + error.text;
}

// The whole file, or App::Error naming why it cannot be a configuration. Only a regular file is
// read: a named pipe would block the window until something writes to it, and a device such as
// /dev/zero never ends. It is opened without waiting, so a pipe is found out by its type instead.
QByteArray readConfigurationFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw openFailure(errno);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw App::makeError(FileRead, FileReadNotOpened);
    }
    struct stat status{};
    if (::fstat(fd, &status) != 0)
        throw App::makeError(FileRead, FileReadNotOpened);
    if (S_ISDIR(status.st_mode))
        throw App::makeError(FileRead, ConfigurationStorage::Directory);
    if (!S_ISREG(status.st_mode))
        throw App::makeError(FileRead, ConfigurationStorage::NotAFile);
    const qint64 limit = ConfigurationStorage::largestFileSize();
    const auto tooLarge = [limit](qint64 size) {
        return App::makeError(FileRead, ConfigurationStorage::TooLarge,
                     QCoreApplication::translate("FileOperations",
                                                 "файл слишком велик: %1 байт, а конфигурация "
                                                 "занимает не более %2 байт")
                         .arg(ConfigurationStorage::bytesText(size),
                              ConfigurationStorage::bytesText(limit)));
    };
    if (status.st_size > limit)
        throw tooLarge(status.st_size);
    // The file may grow while it is read; no more than the limit is ever taken into memory.
    const QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        throw App::makeError(FileRead, FileReadNotOpened);
    if (bytes.size() > limit)
        throw tooLarge(bytes.size());
    if (bytes.isEmpty())
        throw App::makeError(FileRead, ConfigurationStorage::EmptyFile);
    return bytes;
}

} // namespace

ConfigurationStorage::ConfigurationStorage(SystemModel* model, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_fileName(defaultFileName())
{
}

QString ConfigurationStorage::bytesText(qint64 bytes)
{
    // Grouped as the words around it are written, not as the desktop's locale would: each
    // translation names its own language here.
    const QLocale language(QCoreApplication::translate(
        "ConfigurationStorage", "ru", "the interface language's locale name"));
    return language.toString(bytes);
}

QString ConfigurationStorage::defaultFileName()
{
    return QStringLiteral("untitled");
}

void ConfigurationStorage::reset()
{
    m_fileName = defaultFileName();
    m_lastData = QJsonObject();
    m_lastError = App::Error();
    m_unconfirmed = false;
}

bool ConfigurationStorage::save()
{
    write();
    return m_lastError.code == 0;
}

bool ConfigurationStorage::load(const QString& path)
{
    read(path);
    return m_lastError.code == 0;
}

bool ConfigurationStorage::exportCsv(const QString& path)
{
    m_lastError = App::Error();
    m_unconfirmed = false;
    if (path.isEmpty())
        return true;
    try {
        refuseBrokenSystem(Export);
        FileWriter file(path, Export, ExportFileNotOpened);
        file.open();
        // The list is made whole before the file is touched: the exporter may give up after the
        // header, and the target keeps its old contents then.
        QBuffer list;
        list.open(QIODevice::WriteOnly);
        CSVExporter::exportSystem(&list, m_model);
        noteUnconfirmed("Export CSV unconfirmed: ", file.commit(list.data()), path);
        return true;
    } catch (const App::Error& e) {
        qDebug() << "Export CSV error: " << e.code << e.subCode << e.text << ", file" << m_fileName;
        m_lastError = e;
        return false;
    }
}

qint64 ConfigurationStorage::largestFileSize()
{
    return SystemModel::mostDevices() * (kDeviceBytes + 2 * kLongestText * kBytesPerCharacter)
           + kFrameBytes;
}

QString ConfigurationStorage::loadErrorText(qint32 code, qint32 subCode, const QString& text)
{
    QString reason;
    if (code == FileRead) {
        switch (subCode) {
        case NotFound: reason = QCoreApplication::translate("FileOperations", "файл не найден"); break;
        case NoPermission:
            reason = QCoreApplication::translate("FileOperations", "нет прав на чтение файла");
            break;
        case Directory:
            reason = QCoreApplication::translate("FileOperations", "это папка, а не файл");
            break;
        case NotAFile:
            reason = QCoreApplication::translate("FileOperations", "это не обычный файл");
            break;
        case LinkLoop:
            reason = QCoreApplication::translate("FileOperations", "ссылки на файл образуют петлю");
            break;
        case EmptyFile: reason = QCoreApplication::translate("FileOperations", "файл пуст"); break;
        case TooLarge: reason = text; break;
        default: reason = QCoreApplication::translate("FileOperations", "Неправильный формат"); break;
        }
    } else if (code == FileContents && subCode == FileContentsChecksum) {
        reason = QCoreApplication::translate("FileOperations", "Ошибка целостности");
    } else if (code == ModelRead && subCode == RuleBroken) {
        reason = QCoreApplication::translate("FileOperations", "ошибка в конфигурации: %1").arg(text);
    } else {
        reason = QCoreApplication::translate("FileOperations", "Неизвестная ошибка");
    }
    // Russian joins the two phrases with a comma; another language may need a sentence of its own.
    return QCoreApplication::translate("FileOperations", "%1, %2")
        .arg(QCoreApplication::translate("FileOperations", "Не могу открыть файл"), reason);
}

QString ConfigurationStorage::loadErrorMessage(const App::Error& error, const QString& fileName)
{
    return loadErrorText(error.code, error.subCode, error.text) + QLatin1Char('\n') + fileName;
}

QString ConfigurationStorage::writeErrorText(const QString& failed, const App::Error& error)
{
    const auto known = std::find_if(std::begin(kWriteFailures), std::end(kWriteFailures),
                                     [&error](const WriteFailure& failure) {
                                         return error.code == FileWrite && error.subCode == failure.subCode;
                                     });
    if (known == std::end(kWriteFailures))
        return failed + brokenRuleText(error) + inPlaceOutcome(error);
    return QCoreApplication::translate("FileOperations", "%1, %2")
               .arg(failed, QCoreApplication::translate("FileOperations", known->cause))
           + inPlaceOutcome(error) + QLatin1Char('\n')
           + QCoreApplication::translate("FileOperations", known->remedy);
}

QString ConfigurationStorage::brokenRuleText(const App::Error& error)
{
    if (error.subCode != RuleBroken)
        return QString();
    return QStringLiteral(", ")
           + QCoreApplication::translate("FileOperations", "ошибка в конфигурации: %1").arg(error.text);
}

void ConfigurationStorage::noteUnconfirmed(const char* line, int error, const QString& path)
{
    if (error == 0)
        return;
    qDebug() << line << error << ", file" << path;
    m_unconfirmed = true;
}

void ConfigurationStorage::write()
{
    m_lastError = App::Error();
    m_unconfirmed = false;
    try {
        refuseBrokenSystem(ModelWrite);
        QJsonObject data;
        serialize(data);
        QJsonObject root;
        pack(kConfiguration, root, data);
        root.insert(kVendor, SettingsProvider::instance().vendorKey);
        // Refused as a broken system is: the file keeps its contents and the edit stays unsaved.
        const QByteArray text = documentText(root);
        m_lastData = data;
        noteUnconfirmed("Store settings unconfirmed: ", writeDocument(m_fileName, text), m_fileName);
    } catch (const App::Error& e) {
        qDebug() << "Store settings error: " << e.code << e.subCode << e.text << ", file"
                 << m_fileName;
        m_lastError = e;
    }
}

void ConfigurationStorage::read(const QString& path)
{
    m_lastError = App::Error();
    try {
        const QJsonObject root = readDocument(path);
        QJsonObject data;
        unpack(kConfiguration, root, data);
        deserialize(data);
        m_lastData = data;
        m_fileName = path;
    } catch (const App::Error& e) {
        qDebug() << "Load settings error: " << e.code << e.subCode << e.text << ", file" << path;
        m_lastError = e;
    }
}

void ConfigurationStorage::refuseBrokenSystem(qint32 code) const
{
    const QString rule = m_model->brokenRule();
    if (!rule.isEmpty())
        throw App::makeError(code, RuleBroken, rule);
}

void ConfigurationStorage::serialize(QJsonObject& data) const
{
    if (!m_model->writeJson(data))
        throw App::makeError(ModelWrite, ModelWriteFailed);
}

void ConfigurationStorage::deserialize(const QJsonObject& data)
{
    // The model's reader stops where the file goes wrong and leaves what it built. A file is
    // therefore read into a model of its own first, so a bad one never replaces the system the
    // user is editing with half of another.
    {
        SystemModel trial;
        trial.readJson(data);
        if (!trial.refusedRule().isEmpty())
            throw App::makeError(ModelRead, RuleBroken, trial.refusedRule());
        if (!trial.flag())
            throw App::makeError(ModelRead, ModelReadFailed);
    }

    QJsonObject backup;
    const bool restorable = !m_model->devices().isEmpty() && m_model->writeJson(backup);
    m_model->clear();
    m_model->readJson(data);
    if (m_model->flag())
        return;
    // The same data read the same way cannot fail a second time unless the reader changes;
    // should it, the user still gets the system back.
    m_model->clear();
    if (restorable)
        m_model->readJson(backup);
    throw App::makeError(ModelRead, ModelReadFailed);
}

QString ConfigurationStorage::checksum(const QJsonObject& data)
{
    // Taken over the indented text of the data object alone, not over the file's bytes: files
    // re-indented by hand still pass, a changed value does not.
    const QByteArray text = QJsonDocument(data).toJson(QJsonDocument::Indented);
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex());
}

void ConfigurationStorage::pack(const QString& key, QJsonObject& root, const QJsonObject& data) const
{
    QJsonObject section;
    section.insert(kData, data);
    section.insert(kChecksum, BrandRules::writesChecksum() ? checksum(data) : kSkipChecking);
    root.insert(key, section);
}

void ConfigurationStorage::unpack(const QString& key, const QJsonObject& root, QJsonObject& data)
{
    if (!root.contains(key))
        throw App::makeError(FileContents, FileContentsNoSection);
    const QJsonObject section = root.value(key).toObject();
    if (!section.contains(kData))
        throw App::makeError(FileContents, FileContentsNoData);
    data = section.value(kData).toObject();
    if (data.isEmpty())
        throw App::makeError(FileContents, FileContentsEmptyData);
    if (!section.contains(kChecksum))
        throw App::makeError(FileContents, FileContentsNoChecksum);
    const QString sum = section.value(kChecksum).toString();
    if (sum != kSkipChecking && sum != checksum(data))
        throw App::makeError(FileContents, FileContentsChecksum);
}

QByteArray ConfigurationStorage::documentText(const QJsonObject& root)
{
    if (root.isEmpty())
        throw App::makeError(FileWrite, FileWriteNothing);
    QByteArray text = QJsonDocument(root).toJson(QJsonDocument::Indented);
    // A system may hold more devices than the reader's limit allows for (one read from a
    // controller, or labels pasted in); its file would replace one that opens with one that
    // does not.
    const qint64 limit = largestFileSize();
    if (text.size() > limit) {
        throw App::makeError(ModelWrite, RuleBroken,
                             QCoreApplication::translate("FileOperations",
                                                         "файл занял бы %1 байт, а файл "
                                                         "конфигурации может занимать не более %2 байт")
                                 .arg(bytesText(text.size()), bytesText(limit)));
    }
    return text;
}

int ConfigurationStorage::writeDocument(const QString& path, const QByteArray& text)
{
    return FileWriter::write(path, text);
}

QJsonObject ConfigurationStorage::readDocument(const QString& path)
{
    const QByteArray bytes = readConfigurationFile(path);
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const int from = std::max(0, parseError.offset - kQuoteBefore);
        throw App::makeError(FileRead, FileReadNotJson,
                    parseError.errorString() + QStringLiteral(", offset=%1, data: ").arg(parseError.offset)
                        + QString::fromUtf8(bytes.mid(from, kQuoteLength)));
    }
    return document.object();
}
