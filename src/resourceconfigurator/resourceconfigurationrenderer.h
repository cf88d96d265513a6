#pragma once

#include <QFont>
#include <QIcon>
#include <QMap>
#include <QModelIndexList>
#include <QStyledItemDelegate>

namespace ResourceConfiguration {

// Paints every row of the resource tree: group rows as coloured headers with their devices
// framed below like a card, device and resource rows with their icons, and in monitoring mode
// the value cell of each resource (number and unit, status, or an on/off bar).
class Renderer : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit Renderer(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The untranslated-key check behind the red "ERROR" of a value cell; empty when the status
    // words hold no error.
    static QString errorText(const QString& status);
    // Where a value cell of the given width divides into the reading and its F(X).
    static int valueSplit(int cellWidth) { return cellWidth * 54 / 100; }

public slots:
    void setSelection(const QModelIndexList& selection);

private:
    bool inSelection(const QModelIndex& index) const;
    void paintColumn0(QPainter* painter, const QStyleOptionViewItem& option,
                      const QModelIndex& index, bool groupRow, bool selected, bool wide) const;
    void paintIcon(QPainter* painter, const QRect& rect, const QModelIndex& index,
                   bool selected) const;
    void paintFreezeMark(QPainter* painter, const QRect& text, const QRect& icon,
                         const QModelIndex& index, bool selected) const;
    void paintValueCell(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index, bool selected) const;
    void paintAnalogue(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index, bool selected, int split) const;
    void paintDiscrete(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index, bool selected, int split) const;
    void drawValueText(QPainter* painter, const QRect& rect, const QString& text,
                       const QColor& colour, const QFont& first, const QFont& second) const;

    QIcon m_moduleIcon;
    QIcon m_controllerIcon;
    QIcon m_freezeIcon;
    QMap<int, QIcon> m_kindIcons;
    QFont m_regularFont;
    QFont m_boldFont;
    QFont m_unitFont;
    QFont m_selectedValueFont;
    QFont m_selectedTextFont;
    QModelIndexList m_selection;
};

} // namespace ResourceConfiguration
