#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QWidget>

class QLabel;
class QTableWidget;

namespace Ui {
class InfoWidget;
}

// The base of the detail pop-ups: a white card of titled sections, each a caption above a
// borderless two-column table of name/value rows.
class InfoWidget : public QWidget
{
    Q_OBJECT

public:
    struct Section
    {
        QLabel* title = nullptr;
        QTableWidget* body = nullptr;
        QStringList rows;
    };

    explicit InfoWidget(QWidget* parent = nullptr);
    ~InfoWidget() override;

    void setTitle(int section, const QString& text);
    // Each row is a name, a colon and a value; the first colon splits, later ones stay in the value.
    void setData(int section, const QStringList& rows);
    // Black when no colour is stored; a stored colour shows from the next setData of its section.
    QColor cellColor(int section, int row) const;
    void setCellColor(int section, int row, const QColor& colour);
    void setSectionMinimumSize(int section, const QSize& size);
    void setSectionSizes(const QSize& title, const QSize& body, int rowHeight);
    void setColumnRatio(double name, double value);
    void applyStyle();

    // Assigned by the style functions before the derived pop-up calls applyStyle().
    QFont titleFont;
    QFont nameFont;
    QFont valueFont;

signals:
    void hidden();

protected:
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool isSection(int section) const { return section >= 0 && section < sections.size(); }
    static int colorKey(int section, int row) { return section * 100 + row; }
    // The width the widest name of the rows takes in its cell.
    int widestName(const QStringList& rows) const;
    // Every section puts its values at one position, past the widest name of them all.
    void fitColumns();

    Ui::InfoWidget* ui;
    QList<Section> sections;
    QMap<int, QColor> cellColors;
    int rowHeight = 18;
    double nameColumnRatio = 0.6;
    double valueColumnRatio = 0.4;
};
