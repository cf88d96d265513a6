#include "resourceconfigurator/resourceconfigurationrenderer.h"

#include "resourceconfigurator/resourcepictures.h"

#include "model/device.h"
#include "model/resourcekind.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "widgets/layoutmetrics.h"
#include "widgets/textstyles.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>

namespace ResourceConfiguration {

namespace {

const QColor kGroupColour(0x2b, 0x78, 0xe4);
const QColor kGroupSelectedColour(0x38, 0x3b, 0x3f);
const QColor kSelectedColour(0x44, 0x48, 0x4e);
const QColor kErrorColour(0xff, 0x6a, 0x48);
// The error red lightened until it reads on the selected row's dark grey (contrast 4.5:1).
const QColor kErrorOnSelectedColour(0xff, 0xa0, 0x8c);
const QColor kValueColour(0xef, 0xef, 0xef);

QIcon iconWithSelected(const QString& normal, const QString& selected)
{
    QIcon icon(normal);
    icon.addFile(QFile::exists(selected) ? selected : normal, QSize(), QIcon::Selected, QIcon::Off);
    return icon;
}

QIcon kindIcon(const QString& name)
{
    static const QString pattern = QStringLiteral(":/icons/resources/icons/spec/%1.png");
    return iconWithSelected(pattern.arg(name), pattern.arg(name + QLatin1String("_s")));
}

// Status words are stored translated; a word matches its key in any language, whichever kind
// (analogue input or output) translated it.
bool hasStatusWord(const QString& status, const char* key)
{
    const QString plain = QString::fromLatin1(key);
    const QString asInput = QCoreApplication::translate("Ain", key);
    const QString asOutput = QCoreApplication::translate("Aout", key);
    const QStringList parts = status.split(QLatin1Char(','), Qt::KeepEmptyParts, Qt::CaseSensitive);
    for (const QString& part : parts) {
        if (part == plain || part == asInput || part == asOutput)
            return true;
    }
    return false;
}

bool isParentIn(const QModelIndexList& list, const QModelIndex& index)
{
    return index.isValid() && list.contains(index);
}

} // namespace

Renderer::Renderer(QObject* parent)
    : QStyledItemDelegate(parent)
{
    initResourcePictures();
    const QString pex = QStringLiteral(":/icons/resources/icons/spec/pex.png");
    const QString tav = QStringLiteral(":/icons/resources/icons/spec/tav.png");
    m_moduleIcon = iconWithSelected(pex, pex);
    m_controllerIcon = iconWithSelected(tav, tav);
    m_freezeIcon = iconWithSelected(QStringLiteral(":/icons/resources/icons/spec/service.png"),
                                    QStringLiteral(":/icons/resources/icons/spec/service_s.png"));
    const char* names[] = {"ain", "aout", "din", "dout"};
    for (int kind = ResourceKind::Ain; kind <= ResourceKind::Dout; ++kind)
        m_kindIcons.insert(kind, kindIcon(QString::fromLatin1(names[kind])));

    m_regularFont.setFamily(QStringLiteral("Segoe UI"));
    m_regularFont.setPixelSize(13);
    m_boldFont = m_regularFont;
    m_boldFont.setWeight(QFont::Bold);
    m_unitFont = m_regularFont;
    m_unitFont.setPixelSize(11);
    m_selectedValueFont = m_boldFont;
    m_selectedValueFont.setPixelSize(14);
    m_selectedTextFont = m_selectedValueFont;
}

void Renderer::setSelection(const QModelIndexList& selection)
{
    if (selection != m_selection)
        m_selection = selection;
}

QString Renderer::errorText(const QString& status)
{
    if (hasStatusWord(status, "overload") || hasStatusWord(status, "outrange"))
        return tr("ERROR");
    return QString();
}

QSize Renderer::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    return QSize(50, index.data(Model::SpacerRole).toInt() != 0 ? 8 : 30);
}

bool Renderer::inSelection(const QModelIndex& index) const
{
    return isParentIn(m_selection, index);
}

void Renderer::paint(QPainter* painter, const QStyleOptionViewItem& option,
                     const QModelIndex& index) const
{
    if (!index.isValid())
        return;
    const bool valueColumn = index.column() == 1;
    const bool spacer = index.data(Model::SpacerRole).toInt() != 0;
    const int type = index.data(Model::ItemTypeRole).toInt();
    const bool groupRow = type == Model::GroupItem && !spacer && !valueColumn;
    const bool selected = option.state & QStyle::State_Selected;
    const bool deviceRow = type == Model::DeviceItem && !valueColumn;
    const bool resourceRow = type == Model::ResourceItem;

    const QModelIndex parent = index.parent();
    const QModelIndex grandParent = parent.parent();
    const bool framed = (deviceRow && parent.isValid()) || (resourceRow && grandParent.isValid());
    bool cardSelected = false;
    if (deviceRow || spacer)
        cardSelected = inSelection(parent);
    else if (resourceRow)
        cardSelected = inSelection(grandParent);
    const bool wide = deviceRow && (parent.isValid() || index.row() > 0);

    painter->save();
    QRect content;
    QRect frame;
    calcItemFrameRects(option.rect, content, frame, groupRow, framed, spacer, false);
    QColor colour;
    if (groupRow)
        colour = selected ? kGroupSelectedColour : kGroupColour;
    else if (selected && !spacer)
        colour = kSelectedColour;
    else
        colour = valueColumn ? accentColor : option.palette.color(QPalette::Base);
    drawItemBackground(painter, option, content, frame, colour, cardSelected, valueColumn,
                       valueSplit(content.width()));
    if (valueColumn)
        paintValueCell(painter, option, index, selected);
    else
        paintColumn0(painter, option, index, groupRow, selected, wide);
    painter->restore();
}

void Renderer::paintColumn0(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index, bool groupRow, bool selected,
                            bool wide) const
{
    QRect text;
    QRect indicator;
    QRect icon;
    calcItemRects(option.rect, text, indicator, icon,
                  index.data(Model::ItemTypeRole).toInt() == Model::ResourceItem, false, wide);
    if (index.data(Model::ExpanderRole).toInt() != 0)
        drawItemIndicator(painter, option, indicator, groupRow);
    paintIcon(painter, icon, index, selected);
    const QColor pen = selected || groupRow ? QColor(Qt::white)
                                            : index.data(Qt::ForegroundRole).value<QColor>();
    painter->setPen(QPen(pen, 1));
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, index.data().toString());
    paintFreezeMark(painter, text, icon, index, selected);
}

void Renderer::paintIcon(QPainter* painter, const QRect& rect, const QModelIndex& index,
                         bool selected) const
{
    const int type = index.data(Model::ItemTypeRole).toInt();
    QIcon icon;
    if (type == Model::DeviceItem) {
        const int deviceClass = index.data(Model::DeviceClassRole).toInt();
        icon = deviceClass == Device::PlcClass || deviceClass == Device::TavClass ? m_controllerIcon
                                                                                : m_moduleIcon;
    } else if (type == Model::ResourceItem) {
        icon = m_kindIcons.value(index.data(Model::KindRole).toInt());
    }
    if (icon.isNull())
        return;
    const QSize size = icon.actualSize(rect.size(), QIcon::Normal, QIcon::Off);
    const QPixmap pixmap =
        icon.pixmap(size, selected ? QIcon::Selected : QIcon::Normal, QIcon::Off);
    if (pixmap.isNull())
        return;
    if (type == Model::DeviceItem) {
        painter->drawPixmap(rect.right() - pixmap.width(),
                            rect.top() + (rect.height() - pixmap.height()) / 2, pixmap);
    } else {
        painter->drawPixmap(rect.center().x() - pixmap.width() / 2,
                            rect.center().y() - pixmap.height() / 2, pixmap);
    }
}

void Renderer::paintFreezeMark(QPainter* painter, const QRect& text, const QRect& icon,
                               const QModelIndex& index, bool selected) const
{
    if (!hasStatusWord(index.data(Model::StatusRole).toString(), "freeze"))
        return;
    const QPixmap pixmap = m_freezeIcon.pixmap(icon.size(), selected ? QIcon::Selected : QIcon::Normal,
                                               QIcon::Off);
    if (pixmap.isNull())
        return;
    const QRect area(QPoint(text.right() - icon.width() - 2, text.top()), text.bottomRight());
    painter->drawPixmap(area.center().x() - pixmap.width() / 2,
                        area.center().y() - pixmap.height() / 2, pixmap);
}

void Renderer::paintValueCell(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index, bool selected) const
{
    const int kind = index.data(Model::KindRole).toInt();
    const int split = valueSplit(option.rect.width());
    if (kind == ResourceKind::Ain || kind == ResourceKind::Aout)
        paintAnalogue(painter, option, index, selected, split);
    else if (kind == ResourceKind::Din || kind == ResourceKind::Dout)
        paintDiscrete(painter, option, index, selected, split);
}

void Renderer::paintAnalogue(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index, bool selected, int split) const
{
    const QRect& r = option.rect;
    const QRect left(QPoint(r.left() + (selected ? 4 : 8), r.top()),
                     QPoint(r.left() + split - 1, r.bottom()));
    const QRect right(QPoint(r.left() + split + (selected ? 7 : 8), r.top()), r.bottomRight());
    QString rightText = index.data(Model::SecondValueRole).toString();
    QColor valueColour = kValueColour;
    QColor rightColour = Qt::white;
    const QFont& valueFont = selected ? m_selectedValueFont : m_regularFont;
    QFont rightFont = selected ? m_selectedTextFont : m_boldFont;
    const QString status = errorText(index.data(Model::StatusRole).toString());
    if (!status.isEmpty()) {
        valueColour = rightColour = selected ? kErrorOnSelectedColour : QColor(Qt::white);
        rightText = status;
        rightFont = m_regularFont;
        if (!selected)
            painter->fillRect(r, kErrorColour);
    }
    drawValueText(painter, left, index.data(Model::ValueRole).toString(), valueColour, valueFont,
                  m_unitFont);
    drawValueText(painter, right, rightText, rightColour, rightFont, m_unitFont);
}

void Renderer::paintDiscrete(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index, bool selected, int split) const
{
    const QString value = index.data(Model::ValueRole).toString();
    if (value.isEmpty())
        return;
    const QRect& r = option.rect;
    painter->setPen(QPen(Qt::white, 1));
    QColor fill = Qt::white;
    if (value == QLatin1String("0"))
        fill = selected ? kSelectedColour : accentColor;
    painter->setBrush(fill);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->drawRoundedRect(QRect(r.left() + 8, r.center().y() - 8, 6, 16), 25, 25,
                             Qt::RelativeSize);
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (index.data(Model::KindRole).toInt() != ResourceKind::Din)
        return;
    painter->setPen(QPen(Qt::white, 1));
    painter->setFont(selected ? m_selectedTextFont : m_boldFont);
    painter->drawText(QRect(QPoint(r.left() + 8 + split, r.top()), r.bottomRight()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(Model::SecondValueRole).toString());
}

void Renderer::drawValueText(QPainter* painter, const QRect& rect, const QString& text,
                             const QColor& colour, const QFont& first, const QFont& second) const
{
    const QStringList words = text.split(QLatin1Char(' '));
    const QString firstWord = words.value(0);
    const QString secondWord = words.value(1);
    painter->setPen(QPen(colour, 1));
    painter->setFont(first);
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, firstWord);
    if (secondWord.isEmpty())
        return;
    painter->setFont(second);
    const int shift = QFontMetrics(first).horizontalAdvance(firstWord) + 3;
    painter->drawText(rect.adjusted(shift, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, secondWord);
}

} // namespace ResourceConfiguration
