#include "resourceconfigurator/filterpanel.h"

#include "resourceconfigurator/resourcepictures.h"

#include "widgets/flatbutton.h"

#include <QFontMetrics>
#include <QIcon>
#include <QResizeEvent>

namespace {

QPalette buttonPalette(const QColor& button, const QColor& highlight, const QColor& highlightedText,
                       const QColor& buttonText)
{
    QPalette p;
    p.setColor(QPalette::All, QPalette::Button, button);
    p.setColor(QPalette::All, QPalette::Highlight, highlight);
    p.setColor(QPalette::All, QPalette::HighlightedText, highlightedText);
    p.setColor(QPalette::All, QPalette::ButtonText, buttonText);
    return p;
}

const QColor kLight(0xd7, 0xdc, 0xe5);
const QColor kDark(0x3c, 0x3d, 0x3f);
const QColor kBlue(0x00, 0xa1, 0xe1);

} // namespace

FilterPanel::FilterPanel(QWidget* parent)
    : QWidget(parent)
    , m_allPalette(buttonPalette(kLight, kLight, kBlue, Qt::black))
    , m_shownPalette(buttonPalette(kDark, QColor(0x59, 0x5b, 0x5d), kBlue, kBlue))
    , m_hiddenPalette(buttonPalette(kLight, kLight, kBlue, Qt::black))
{
    initResourcePictures();
    QPalette own = palette();
    own.setColor(QPalette::All, QPalette::Window, kLight);
    own.setColor(QPalette::All, QPalette::Highlight, kDark);
    own.setColor(QPalette::All, QPalette::Button, kLight);
    own.setColor(QPalette::Disabled, QPalette::Highlight, kLight);
    setPalette(own);
    QFont f = font();
    f.setFamily(QStringLiteral("Segoe UI"));
    f.setPixelSize(14);
    setFont(f);

    QIcon reset;
    reset.addFile(QStringLiteral(":/icons/resources/icons/spec/reset_filter_activ.png"), QSize(),
                  QIcon::Normal, QIcon::Off);
    reset.addFile(QStringLiteral(":/icons/resources/icons/spec/reset_filter_activ_hover.png"),
                  QSize(), QIcon::Active, QIcon::Off);
    reset.addFile(QStringLiteral(":/icons/resources/icons/spec/reset_filter_notactiv.png"), QSize(),
                  QIcon::Disabled, QIcon::Off);
    m_resetButton = new FlatButton(reset, this);
    m_resetButton->show();
    m_resetButton->setEnabled(false);
    QPalette resetPalette = m_resetButton->palette();
    resetPalette.setColor(QPalette::All, QPalette::Highlight, kLight);
    resetPalette.setColor(QPalette::Disabled, QPalette::Highlight, kLight);
    m_resetButton->setPalette(resetPalette);
    connect(m_resetButton, &FlatButton::clicked, this, &FilterPanel::resetFilter);
    setAutoFillBackground(true);
}

void FilterPanel::setFilters(const QList<QPair<int, QString>>& kinds)
{
    for (FlatButton* b : qAsConst(m_buttons))
        b->deleteLater();
    m_buttons.clear();
    m_widths.clear();
    for (const QPair<int, QString>& kind : kinds) {
        if (kind.second.isEmpty())
            continue;
        auto* b = new FlatButton(kind.second, this);
        b->setCheckable(true);
        b->setPalette(m_allPalette);
        const int code = kind.first;
        connect(b, &FlatButton::clicked, this, [this, code] { onFiltering(code); });
        b->show();
        m_buttons.insert(code, b);
        m_widths.insert(code, QFontMetrics(b->font()).horizontalAdvance(kind.second) + 4);
    }
    layoutButtons(size());
}

void FilterPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutButtons(event->size());
}

void FilterPanel::layoutButtons(const QSize& size)
{
    const int height = qMin(m_buttonHeight, size.height());
    m_resetButton->setGeometry(size.width() - 26, m_topMargin, 22, height);
    int x = m_leftMargin;
    for (auto it = m_buttons.cbegin(); it != m_buttons.cend(); ++it) {
        const int width = m_widths.value(it.key());
        it.value()->setGeometry(x, m_topMargin, width, height);
        x += width + m_spacing;
    }
}

void FilterPanel::onFiltering(int kind)
{
    if (m_allKinds) {
        m_allKinds = false;
        m_resetButton->setEnabled(true);
        m_hiddenKinds = QSet<int>(m_buttons.keyBegin(), m_buttons.keyEnd());
    }
    if (m_hiddenKinds.contains(kind))
        m_hiddenKinds.remove(kind);
    else
        m_hiddenKinds.insert(kind);
    if (m_hiddenKinds.size() == m_buttons.size()) {
        m_allKinds = true;
        m_hiddenKinds.clear();
    }
    repaintButtons();
    emit doFiltering(m_hiddenKinds.values(), !m_allKinds);
}

void FilterPanel::hasFiltered(bool active)
{
    m_resetButton->setEnabled(active);
    if (!active)
        m_allKinds = true;
    repaintButtons();
}

void FilterPanel::repaintButtons()
{
    if (m_allKinds) {
        m_hiddenKinds.clear();
        for (FlatButton* b : qAsConst(m_buttons))
            b->setPalette(m_allPalette);
        return;
    }
    for (auto it = m_buttons.cbegin(); it != m_buttons.cend(); ++it)
        it.value()->setPalette(m_hiddenKinds.contains(it.key()) ? m_hiddenPalette : m_shownPalette);
}
