#include "layoutcheck.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusFrame>
#include <QHeaderView>
#include <QItemDelegate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace Gallery {

namespace {

// A glyph's side bearings and the style's rounding may take a pixel or two without anything
// being lost; more than that and the reader sees a cut letter.
constexpr int kSlack = 2;

QString describe(const QWidget* widget)
{
    QString name = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty())
        name += QLatin1Char('#') + widget->objectName();
    return name;
}

QString quoted(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

// What a reader sees of a text with a mnemonic: the ampersand is not drawn.
QString shownText(QString text)
{
    text.replace(QLatin1String("&&"), QString(QChar(0xE000)));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0xE000), QLatin1Char('&'));
    return text;
}

int textWidth(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    return widest;
}

// The height the letters of some lines take: the line box's air above capitals is not drawn.
int inkHeight(const QFontMetrics& metrics, int lines)
{
    return (lines - 1) * metrics.lineSpacing() + metrics.capHeight() + metrics.descent();
}

bool looksElided(const QString& text)
{
    return text.contains(QChar(0x2026));
}

// Widgets that lay themselves over others on purpose, or are parts of a scroll area's frame.
bool isOverlay(const QWidget* widget)
{
    return qobject_cast<const QFocusFrame*>(widget) || qobject_cast<const QSizeGrip*>(widget);
}

// A scroll area's viewport holds a content widget larger than itself; that is what scrolling is.
bool scrollsItsChildren(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    const auto* area = parent ? qobject_cast<const QAbstractScrollArea*>(parent) : nullptr;
    return area && area->viewport() == widget;
}

class Checker
{
public:
    Checker(bool latinOnly)
        : latinOnly(latinOnly)
    {
    }

    QStringList defects;

    void walk(QWidget* widget, const QString& path, const QRect& clip, bool scrolled)
    {
        if (!widget->isVisible())
            return;
        const QString here =
            path.isEmpty() ? describe(widget) : path + QLatin1Char('/') + describe(widget);
        const QRect area = QRect(widget->mapTo(root, QPoint()), widget->size());
        // Hidden behind its parent's edge or scrolled away, a widget shows nothing to check.
        if (!(area & clip).isEmpty())
            checkText(widget, here);
        const QRect ink = inkRect(widget);
        if (!ink.isEmpty()) {
            const QRect placed = ink.translated(area.topLeft());
            if (!scrolled && !clip.adjusted(-kSlack, -kSlack, kSlack, kSlack).contains(placed))
                report(here, QStringLiteral("cut off: drawn at %1,%2 %3x%4, room %5,%6 %7x%8")
                                 .arg(placed.x())
                                 .arg(placed.y())
                                 .arg(placed.width())
                                 .arg(placed.height())
                                 .arg(clip.x())
                                 .arg(clip.y())
                                 .arg(clip.width())
                                 .arg(clip.height()));
            const QRect seen = placed & clip;
            if (!seen.isEmpty())
                leaves.append({widget, seen, here});
        }
        const QRect inner = area & clip;
        for (QWidget* child : visibleChildren(widget))
            walk(child, here, inner, scrolled || scrollsItsChildren(widget));
    }

    // Two things a reader sees drawn over one another, wherever they sit in the tree.
    void checkOverlaps()
    {
        for (int i = 0; i < leaves.size(); ++i) {
            for (int j = i + 1; j < leaves.size(); ++j) {
                const Leaf& a = leaves.at(i);
                const Leaf& b = leaves.at(j);
                if (a.widget->isAncestorOf(b.widget) || b.widget->isAncestorOf(a.widget))
                    continue;
                const QRect both = a.seen & b.seen;
                if (both.width() > kSlack && both.height() > kSlack)
                    report(a.path, QStringLiteral("overlaps %1 by %2x%3 px")
                                       .arg(b.path)
                                       .arg(both.width())
                                       .arg(both.height()));
            }
        }
    }

    QWidget* root = nullptr;

private:
    struct Leaf
    {
        QWidget* widget;
        QRect seen;
        QString path;
    };
    bool latinOnly;
    QList<Leaf> leaves;

    // The part of the widget that shows something, in its own coordinates: the text of a label, the
    // indicator and text of a check box, the whole face of a control. Empty for containers and for
    // pictures meant to lie under other widgets.
    static QRect inkRect(QWidget* widget)
    {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->text().isEmpty())
                return QRect();
            const QFontMetrics metrics(label->font());
            const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            const QRect room = label->contentsRect();
            if (label->textFormat() == Qt::RichText || Qt::mightBeRichText(label->text()))
                return room;
            QRect text = metrics.boundingRect(room, flags, label->text());
            // Line spacing above and below the letters is not drawn.
            const int air = (metrics.height() - metrics.ascent() - metrics.descent()) / 2
                            + metrics.descent() / 2;
            return text.adjusted(0, air, 0, -air);
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)) {
                const QFontMetrics metrics(button->font());
                const int width =
                    qMin(button->width(), 24 + textWidth(metrics, shownText(button->text())));
                const int height = qMin(button->height(), qMax(metrics.ascent(), 16));
                return QRect(0, (button->height() - height) / 2, width, height);
            }
            return button->rect();
        }
        if (qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QComboBox*>(widget)
            || (qobject_cast<QLineEdit*>(widget)
                && !qobject_cast<QAbstractSpinBox*>(widget->parentWidget())
                && !qobject_cast<QComboBox*>(widget->parentWidget()))
            || qobject_cast<QTabBar*>(widget) || qobject_cast<QAbstractSlider*>(widget))
            return widget->rect();
        return QRect();
    }

    void report(const QString& where, const QString& what)
    {
        defects << where + QLatin1String(": ") + what;
    }

    static const QRegularExpression& cyrillic()
    {
        static const QRegularExpression letters(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
        return letters;
    }

    // For texts the program does not draw itself (a window's title).
    void checkScript(const QString& where, const QString& text)
    {
        if (latinOnly && text.contains(cyrillic()))
            report(where, QLatin1String("Cyrillic text ") + quoted(text));
    }

    // A face without Cyrillic leaves the Russian letters of a text to whatever fallback face the
    // machine has, drawn beside the face's own Latin ones.
    void checkScript(const QString& where, const QString& text, const QFont& font)
    {
        checkScript(where, text);
        const QRegularExpressionMatch letter = cyrillic().match(text);
        if (!letter.hasMatch())
            return;
        const QRawFont face = QRawFont::fromFont(font);
        if (face.isValid() && !face.supportsCharacter(letter.captured().at(0)))
            report(where, QStringLiteral("text %1 drawn in %2, a face without Cyrillic")
                              .arg(quoted(text), face.familyName()));
    }

    void checkFits(const QString& where, const QString& text, int needed, int room)
    {
        if (needed > room + kSlack)
            report(where, QStringLiteral("text %1 needs %2 px, has %3")
                              .arg(quoted(text))
                              .arg(needed)
                              .arg(room));
    }

    void checkText(QWidget* widget, const QString& where)
    {
        if (auto* label = qobject_cast<QLabel*>(widget))
            checkLabel(label, where);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            checkButton(button, where);
        else if (auto* bar = qobject_cast<QTabBar*>(widget))
            checkTabBar(bar, where);
        else if (auto* header = qobject_cast<QHeaderView*>(widget))
            checkHeader(header, where);
        else if (auto* view = qobject_cast<QAbstractItemView*>(widget))
            checkItemView(view, where);
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            checkComboBox(combo, where);
        else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            checkScript(where, edit->text(), edit->font());
            checkScript(where, edit->placeholderText(), edit->font());
        } else if (auto* text = qobject_cast<QTextEdit*>(widget))
            checkScript(where, text->toPlainText(), text->font());
        if (widget->isWindow())
            checkScript(where, widget->windowTitle());
    }

    // A closed list shows its chosen entry in the field beside the arrow, clipped where it ends.
    void checkComboBox(QComboBox* combo, const QString& where)
    {
        for (int i = 0; i < combo->count(); ++i)
            checkScript(where, combo->itemText(i), combo->font());
        if (combo->currentText().isEmpty() || combo->isEditable())
            return;
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.frame = combo->hasFrame();
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        const QString text = combo->currentText();
        const int icon =
            combo->itemIcon(combo->currentIndex()).isNull() ? 0 : combo->iconSize().width() + 4;
        checkFits(where, text, QFontMetrics(combo->font()).horizontalAdvance(text) + icon,
                  field.width());
    }

    void checkLabel(QLabel* label, const QString& where)
    {
        const QString text = label->text();
        if (text.isEmpty())
            return;
        checkScript(where, text, label->font());
        const bool rich = label->textFormat() == Qt::RichText
                          || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
        QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                    -label->margin(), -label->margin());
        QSize needed;
        if (rich) {
            QTextDocument document;
            document.setDefaultFont(label->font());
            document.setDocumentMargin(0);
            document.setHtml(text);
            if (label->wordWrap())
                document.setTextWidth(room.width());
            needed = QSize(int(document.idealWidth() + 0.99), int(document.size().height() + 0.99));
            checkScript(where, document.toPlainText(), label->font());
        } else {
            const QString shown = label->buddy() ? shownText(text) : text;
            if (looksElided(shown))
                report(where, QLatin1String("elided text ") + quoted(shown));
            const QFontMetrics metrics(label->font());
            if (label->wordWrap()) {
                const QRect bounds = metrics.boundingRect(QRect(0, 0, room.width(), 100000),
                                                          Qt::TextWordWrap, shown);
                needed = QSize(bounds.width(),
                               inkHeight(metrics, bounds.height() / metrics.lineSpacing()));
            } else {
                needed = QSize(textWidth(metrics, shown),
                               inkHeight(metrics, shown.count(QLatin1Char('\n')) + 1));
            }
        }
        checkFits(where, text, needed.width(), room.width());
        if (needed.height() > room.height() + kSlack)
            report(where, QStringLiteral("text %1 needs %2 px of height, has %3")
                              .arg(quoted(text))
                              .arg(needed.height())
                              .arg(room.height()));
    }

    void checkButton(QAbstractButton* button, const QString& where)
    {
        const QString text = shownText(button->text());
        if (text.isEmpty())
            return;
        checkScript(where, text, button->font());
        if (looksElided(text))
            report(where, QLatin1String("elided text ") + quoted(text));
        const QFontMetrics metrics(button->font());
        const int width = textWidth(metrics, text);
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        const int icon = option.icon.isNull() ? 0 : option.iconSize.width() + 4;
        QRect room;
        if (auto* tool = qobject_cast<QToolButton*>(button)) {
            if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
                return;
            checkFits(where, text, tool->sizeHint().width(), tool->width());
            return;
        }
        if (qobject_cast<QPushButton*>(button)
            && button->metaObject() == &QPushButton::staticMetaObject)
            room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        else if (qobject_cast<QCheckBox*>(button))
            room = button->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, button);
        else if (qobject_cast<QRadioButton*>(button))
            room = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
        else
            room = button->rect();
        checkFits(where, text, width + icon, room.width());
        const int lines = text.count(QLatin1Char('\n')) + 1;
        if (inkHeight(metrics, lines) > room.height() + kSlack)
            report(where, QStringLiteral("text %1 needs %2 px of height, has %3")
                              .arg(quoted(text))
                              .arg(inkHeight(metrics, lines))
                              .arg(room.height()));
    }

    void checkTabBar(QTabBar* bar, const QString& where)
    {
        const QFontMetrics metrics(bar->font());
        for (int i = 0; i < bar->count(); ++i) {
            if (!bar->isTabVisible(i))
                continue;
            const QString text = shownText(bar->tabText(i));
            checkScript(where, text, bar->font());
            const QRect tab = bar->tabRect(i);
            if (!bar->rect().contains(tab))
                report(where, QStringLiteral("tab %1 lies outside the bar").arg(quoted(text)));
            checkFits(where, text, metrics.horizontalAdvance(text), tab.width());
        }
    }

    void checkHeader(QHeaderView* header, const QString& where)
    {
        QAbstractItemModel* model = header->model();
        if (!model)
            return;
        const int margin =
            2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        const int sections = header->count();
        for (int i = 0; i < sections; ++i) {
            if (header->isSectionHidden(i) || header->sectionSize(i) == 0)
                continue;
            const QString text = model->headerData(i, header->orientation()).toString();
            if (text.isEmpty())
                continue;
            const QVariant font = model->headerData(i, header->orientation(), Qt::FontRole);
            checkScript(where, text, font.isValid() ? font.value<QFont>() : header->font());
            const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : header->font());
            if (header->orientation() == Qt::Horizontal)
                checkFits(where, text, textWidth(metrics, text) + margin, header->sectionSize(i));
        }
    }

    // Cells drawn by the stock delegates elide what does not fit; the views with delegates of their
    // own are checked by what they show in the pictures.
    void checkItemView(QAbstractItemView* view, const QString& where)
    {
        QAbstractItemModel* model = view->model();
        if (!model)
            return;
        checkRows(view, model, QModelIndex(), where, 0);
    }

    void checkRows(QAbstractItemView* view, QAbstractItemModel* model, const QModelIndex& parent,
                   const QString& where, int depth)
    {
        const int rows = qMin(model->rowCount(parent), 500);
        const int columns = model->columnCount(parent);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const QModelIndex index = model->index(r, c, parent);
                const QRect cell = view->visualRect(index);
                if (cell.isEmpty() || !view->viewport()->rect().intersects(cell))
                    continue;
                const QString text = index.data(Qt::DisplayRole).toString();
                if (text.isEmpty())
                    continue;
                const QVariant font = index.data(Qt::FontRole);
                checkScript(where, text, font.isValid() ? font.value<QFont>() : view->font());
                QAbstractItemDelegate* delegate = view->itemDelegate(index);
                const QMetaObject* kind = delegate ? delegate->metaObject() : nullptr;
                if (kind != &QStyledItemDelegate::staticMetaObject
                    && kind != &QItemDelegate::staticMetaObject)
                    continue;
                const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : view->font());
                const int margin =
                    2
                    * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
                int decoration = 0;
                if (!index.data(Qt::DecorationRole).isNull())
                    decoration = view->iconSize().isValid() ? view->iconSize().width() + 4 : 20;
                checkFits(where, text, textWidth(metrics, text) + margin + decoration,
                          cell.width());
            }
            const QModelIndex row = model->index(r, 0, parent);
            if (depth < 4 && model->hasChildren(row))
                checkRows(view, model, row, where, depth + 1);
        }
    }

    QList<QWidget*> visibleChildren(QWidget* widget) const
    {
        QList<QWidget*> shown;
        for (QObject* object : widget->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && child->isVisible() && !isOverlay(child))
                shown << child;
        }
        return shown;
    }
};

} // namespace

QStringList layoutDefects(QWidget* root, bool latinOnly)
{
    Checker checker(latinOnly);
    if (!root)
        return checker.defects;
    checker.root = root;
    checker.walk(root, QString(), root->rect(), false);
    checker.checkOverlaps();
    return checker.defects;
}

} // namespace Gallery
