#include "shell/configurationstorage.h"

#include "catalogue/settingsprovider.h"
#include "shell/csvexporter.h"
#include "shell/filewriter.h"
#include "model/systemmodel.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

#include <algorithm>

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
const QString kData = QStringLiteral("data");
const QString kChecksum = QStringLiteral("cs");
const QString kVendor = QStringLiteral("Vendor");
const QString kSkipChecking = QStringLiteral("skip_checking_cs");

// The debug line of a parse error quotes the file around the error, not the file.
constexpr int kQuoteBefore = 10;
constexpr int kQuoteLength = 30;

App::Error error(qint32 code, qint32 subCode, const QString& text = QString())
{
    App::Error e;
    e.code = code;
    e.subCode = subCode;
    e.text = text;
    return e;
}

} // namespace

ConfigurationStorage::ConfigurationStorage(SystemModel* model, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_fileName(defaultFileName())
{
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
    if (path.isEmpty())
        return true;
    try {
        FileWriter file(path);
        if (!file.open())
            throw error(43, 43);
        // The list is made whole before the file is touched: the exporter may give up after the
        // header, and the target keeps its old contents then.
        QBuffer list;
        list.open(QIODevice::WriteOnly);
        CSVExporter::exportSystem(&list, m_model);
        file.commit(list.data());
        return true;
    } catch (const App::Error& e) {
        qDebug() << "Export CSV error: " << e.code << e.subCode << e.text << ", file" << m_fileName;
        m_lastError = e;
        return false;
    }
}

QString ConfigurationStorage::loadErrorText(qint32 code, qint32 subCode)
{
    QString reason;
    if (code == 8)
        reason = QCoreApplication::translate("FileOperations", "Неправильный формат");
    else if (code == 10 && subCode == 7)
        reason = QCoreApplication::translate("FileOperations", "Ошибка целостности");
    else
        reason = QCoreApplication::translate("FileOperations", "Неизвестная ошибка");
    // Russian joins the two phrases with a comma; another language may need a sentence of its own.
    return QCoreApplication::translate("FileOperations", "%1, %2")
        .arg(QCoreApplication::translate("FileOperations", "Не могу открыть файл"), reason);
}

QString ConfigurationStorage::loadErrorMessage(const App::Error& error, const QString& fileName)
{
    return loadErrorText(error.code, error.subCode) + QLatin1Char('\n') + fileName;
}

void ConfigurationStorage::write()
{
    m_lastError = App::Error();
    try {
        QJsonObject data;
        serialize(data);
        m_lastData = data;
        QJsonObject root;
        pack(kConfiguration, root, data);
        root.insert(kVendor, SettingsProvider::instance().vendorKey);
        writeDocument(m_fileName, root);
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

void ConfigurationStorage::serialize(QJsonObject& data) const
{
    if (!m_model->writeJson(data))
        throw error(15, 13);
}

void ConfigurationStorage::deserialize(const QJsonObject& data)
{
    // The model's reader stops where the file goes wrong and leaves what it built. A file is
    // therefore read into a model of its own first, so a bad one never replaces the system the
    // user is editing with half of another.
    {
        SystemModel trial;
        trial.readJson(data);
        if (!trial.flag())
            throw error(14, 12);
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
    throw error(14, 12);
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
    section.insert(kChecksum, SettingsProvider::instance().mode == 1 ? checksum(data) : kSkipChecking);
    root.insert(key, section);
}

void ConfigurationStorage::unpack(const QString& key, const QJsonObject& root, QJsonObject& data)
{
    if (!root.contains(key))
        throw error(10, 4);
    const QJsonObject section = root.value(key).toObject();
    if (!section.contains(kData))
        throw error(10, 5);
    data = section.value(kData).toObject();
    if (data.isEmpty())
        throw error(10, 11);
    if (!section.contains(kChecksum))
        throw error(10, 6);
    const QString sum = section.value(kChecksum).toString();
    if (sum != kSkipChecking && sum != checksum(data))
        throw error(10, 7);
}

void ConfigurationStorage::writeDocument(const QString& path, const QJsonObject& root)
{
    if (root.isEmpty())
        throw error(9, 11);
    FileWriter::write(path, QJsonDocument(root).toJson(QJsonDocument::Indented));
}

QJsonObject ConfigurationStorage::readDocument(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw error(8, 1);
    const QByteArray bytes = file.readAll();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const int from = std::max(0, parseError.offset - kQuoteBefore);
        throw error(8, 2,
                    parseError.errorString() + QStringLiteral(", offset=%1, data: ").arg(parseError.offset)
                        + QString::fromUtf8(bytes.mid(from, kQuoteLength)));
    }
    return document.object();
}
