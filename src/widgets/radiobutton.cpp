#include "widgets/radiobutton.h"

#include "widgets/textstyles.h"
#include "widgets/utils/widgetutils.h"

#include <QEvent>
#include <QPainter>

namespace {

constexpr int pictureSize = 25;
constexpr int textLeft = pictureSize + 10;

QIcon defaultPictures()
{
    const QString path = QStringLiteral(":/icons/resources/icons/spec/%1.png");
    QIcon icon;
    icon.addFile(path.arg(QStringLiteral("radio_off")), QSize(), QIcon::Normal, QIcon::Off);
    icon.addFile(path.arg(QStringLiteral("radio_on")), QSize(), QIcon::Selected, QIcon::Off);
    icon.addFile(path.arg(QStringLiteral("radio_p")), QSize(), QIcon::Active, QIcon::Off);
    return icon;
}

} // namespace

RadioButton::RadioButton(const QIcon& icon, const QString& text, QWidget* parent)
    : QRadioButton(parent), icon(icon.isNull() ? defaultPictures() : icon)
{
    setText(text);
    setMouseTracking(true);
    QFont font(fontFamilyHeros);
    font.setPixelSize(14);
    QFont bold(font);
    bold.setWeight(QFont::Bold);
    setTextFont(font, bold, font);
    QPalette p(palette());
    p.setBrush(QPalette::All, QPalette::ButtonText, QBrush(Qt::white));
    p.setBrush(QPalette::All, QPalette::HighlightedText, QBrush(Qt::white));
    p.setBrush(QPalette::All, QPalette::Text, QBrush(QColor(0xb6b6b6)));
    setPalette(p);
}

void RadioButton::setTextFont(const QFont& font, const QFont& checkedFont, const QFont& hoverFont)
{
    setFont(font);
    checkedFnt = checkedFont;
    hoverFnt = hoverFont;
}

QSize RadioButton::sizeHint() const
{
    int textWidth = 0;
    int textHeight = 0;
    for (const QFont& f : {font(), checkedFnt, hoverFnt}) {
        const QFontMetrics metrics(f);
        textWidth = qMax(textWidth, metrics.horizontalAdvance(text()));
        textHeight = qMax(textHeight, metrics.height());
    }
    return QSize(textLeft + textWidth + 2, qMax(pictureSize, textHeight));
}

QSize RadioButton::minimumSizeHint() const { return sizeHint(); }

bool RadioButton::hitButton(const QPoint& pos) const
{
    // Only the picture and the text toggle the button, not the empty space to their right.
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return QRect(0, 0, textWidth + 40, height()).contains(pos);
}

bool RadioButton::event(QEvent* event)
{
    trackHover(this, event, hover);
    return QRadioButton::event(event);
}

void RadioButton::paintEvent(QPaintEvent*)
{
    const bool hovered = hover && !isChecked();
    QIcon::Mode mode = QIcon::Normal;
    if (hovered || isDown())
        mode = QIcon::Active;
    else if (isChecked())
        mode = QIcon::Selected;

    QPainter painter(this);
    const QPixmap pixmap = icon.pixmap(QSize(pictureSize, pictureSize), mode, QIcon::Off);
    if (!pixmap.isNull()) {
        const QSize size = pixmap.size() / pixmap.devicePixelRatio();
        const QPoint centre((pictureSize - 1) / 2, (height() - 1) / 2);
        painter.drawPixmap(centre - QPoint((size.width() - 1) / 2, (size.height() - 1) / 2), pixmap);
    }
    if (text().isEmpty())
        return;
    const QPalette::ColorGroup group = palette().currentColorGroup();
    QPalette::ColorRole role = QPalette::Text;
    if (isChecked())
        role = QPalette::ButtonText;
    else if (hovered)
        role = QPalette::HighlightedText;
    painter.setFont(isChecked() ? checkedFnt : (hovered ? hoverFnt : font()));
    painter.setPen(palette().color(group, role));
    const QRect textArea(textLeft, 0, width() - textLeft, height());
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, text());
    if (hasFocus()) {
        const QRect drawn =
            painter.fontMetrics().boundingRect(textArea, Qt::AlignLeft | Qt::AlignVCenter, text());
        drawFocusFrame(painter, drawn.adjusted(-3, -1, 3, 1));
    }
}
