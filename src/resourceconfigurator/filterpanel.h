#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QPalette>
#include <QSet>
#include <QWidget>

class FlatButton;

// The strip of kind buttons under the resource tree. The first click on a kind shows only that
// kind, further clicks add kinds or take them away again; the reset button clears every filter.
class FilterPanel : public QWidget
{
    Q_OBJECT

public:
    explicit FilterPanel(QWidget* parent = nullptr);

    void setFilters(const QList<QPair<int, QString>>& kinds);
    FlatButton* button(int kind) const { return m_buttons.value(kind); }
    FlatButton* resetButton() const { return m_resetButton; }

signals:
    void doFiltering(const QList<int>& kinds, bool active);
    void resetFilter();

public slots:
    void hasFiltered(bool active);
    void onFiltering(int kind);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutButtons(const QSize& size);
    void repaintButtons();

    QMap<int, FlatButton*> m_buttons;
    // Each kind button is as wide as its text.
    QMap<int, int> m_widths;
    FlatButton* m_resetButton;
    QSet<int> m_hiddenKinds;
    bool m_allKinds = true;
    QPalette m_allPalette;
    QPalette m_shownPalette;
    QPalette m_hiddenPalette;
    const int m_leftMargin = 3;
    const int m_topMargin = 5;
    const int m_spacing = 2;
    const int m_buttonHeight = 25;
};
