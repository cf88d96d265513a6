#pragma once

#include "catalogue/cataloguerecords.h"
#include "model/resourcevisitor/resourcevisitor.h"

#include <QString>
#include <QTextStream>

class Device;
class IoResource;
class QIODevice;
class SystemModel;

// Writes the Modbus registers of the edited system's live values as a ";"-separated list for
// SCADA and programming tools: register number in 1-based Modbus table notation, data type and a
// backslash path of device, resource and value. Serial ports carry no values and give no rows.
class CSVExporter : public ResourceVisitor
{
public:
    // Throws App::Error (43, 0) when the catalogue has no "korcpu" entry in its "sys" section.
    static void exportSystem(QIODevice* device, SystemModel* model);

    // Coils n, discrete inputs 10000 + n, input registers 30000 + n, holding registers
    // 40000 + n with n = offset + 1; from n = 10000 on the tables take a sixth digit. -1 for a
    // read function that names no table.
    static qint64 registerNumber(const ProtoEntry& entry);

    using ResourceVisitor::visit;
    void visit(Din* resource) override;
    void visit(Dout* resource) override;
    void visit(Ain* resource) override;
    void visit(Aout* resource) override;

    void writeAlarms();

private:
    CSVExporter(QIODevice* device, SystemModel* model);

    QString devicePrefix(const Device& device) const;
    QString devicePrefix(int number, const Device* owner, const QString& modelName) const;
    void writeRows(const IoResource& resource);
    void writeLine(qint64 number, const char* type, const QString& name);

    QTextStream stream;
    SystemModel* model;
    bool multiDevice = false;
};
