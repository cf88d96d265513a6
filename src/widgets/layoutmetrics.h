#pragma once

#include <QtGlobal>

class QAction;
class QColor;
class QPainter;
class QRect;
class QStyleOptionViewItem;

// Pixel sizes that several screens share. The program runs with the default set; the
// alternative set is kept for screens laid out for it.
struct LayoutMetrics
{
    int detailTitleWidth;
    int toolButtonWidth;
    int panelWidthLarge;
    int panelWidthSmall;
};
const LayoutMetrics& layoutMetrics();
void selectLayoutMetrics(bool alternative);
int panelWidthLarge();
int panelWidthSmall();

// Tool-bar button sizes travel in the action's data (a QSize) and are applied by
// applyToolBarStyle. The wide size is fixed at its first use for the whole run.
void setToolButtonSizeWide(QAction* action);
void setToolButtonSizeNormal(QAction* action);

// Row geometry of the tree delegates; rectangles have inclusive right and bottom edges.
void calcItemRects(const QRect& item, QRect& text, QRect& arrow, QRect& icon, bool deepIndent,
                   bool noIcon, bool indent);
void calcItemFrameRects(const QRect& item, QRect& content, QRect& frame, bool groupRow, bool framed,
                        bool frameEnd, bool groupOpen);
void drawItemBackground(QPainter* painter, const QStyleOptionViewItem& option, const QRect& content,
                        const QRect& frame, const QColor& fill, bool darkFrame, bool separator,
                        int separatorX);
void drawItemIndicator(QPainter* painter, const QStyleOptionViewItem& option, const QRect& arrow,
                       bool dark);
