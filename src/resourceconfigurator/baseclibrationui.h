#pragma once

#include "model/abstractconfig.h"
#include "model/ioresource.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

// One calibration panel: what the calibration page's grid of number fields means for one input
// mode. The page asks the panel for the titles and the state of each cell and hands every edited
// value back to the panel to be written into the inputs' configurations. Cells are named by row
// and column, "00" to "20".
class BaseClibrationUI
{
public:
    struct Cell
    {
        bool hidden = false;
        bool readOnly = false;
        // The selection differs in this cell (or holds no valid value): the field shows a blank.
        bool mixed = false;
        double value = 0.0;
        double minimum = 0.0;
        // 0 keeps the field's own maximum.
        double maximum = 0.0;
        int decimals = 0;
        // Shown after the number; empty where the value is in the user's own scale.
        QString unit;
    };
    using Cells_t = QMap<QString, Cell>;

    explicit BaseClibrationUI(int key);
    virtual ~BaseClibrationUI();
    BaseClibrationUI(const BaseClibrationUI&) = delete;
    BaseClibrationUI& operator=(const BaseClibrationUI&) = delete;

    virtual bool isManualAllowed() const;
    virtual void loadCells(const QList<IoResource::Ptr_t>& selection);
    virtual void setCell(const QString& cell, double value, AbstractConfig& config) = 0;
    virtual void setManual(bool on);
    virtual void retranslate();
    virtual bool sameCell(const QString& cell, const AinConfig& a, const AinConfig& b) const = 0;

    int key() const { return panelKey; }
    const QString& title() const { return panelTitle; }
    const QStringList& columnTitles() const { return columns; }
    const QStringList& rowTitles() const { return rows; }
    const Cells_t& cells() const { return cellSpecs; }

protected:
    // Whether the selected inputs disagree in the cell, the first one included.
    bool differs(const QString& cell, const QList<IoResource::Ptr_t>& selection) const;
    // Whether any selected input holds what `test` looks for: a cell's state that one input
    // implies holds for the whole selection, whichever input comes first.
    static bool any(const QList<IoResource::Ptr_t>& selection,
                    const std::function<bool(const AinConfig&)>& test);
    static Cell cell(double value, int decimals, bool readOnly = false, bool hidden = false);
    // Two values of a field the device keeps in single precision are the same when it keeps them
    // alike. A looser look would show one input's value for all, and that value typed there would
    // not reach the others: the box would see no change. A NaN is never the same.
    static bool sameSingle(double a, double b);

    QStringList columns;
    QStringList rows;
    Cells_t cellSpecs;

private:
    int panelKey;
    QString panelTitle;
};
