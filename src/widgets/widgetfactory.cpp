#include "widgets/widgetfactory.h"

#include <QIcon>
#include <QVBoxLayout>

QIcon makeIcon(const QString& pattern)
{
    QIcon icon(pattern.arg(QString()));
    icon.addFile(pattern.arg(QStringLiteral("_off")), QSize(), QIcon::Disabled, QIcon::Off);
    return icon;
}

QVBoxLayout* makeVBoxLayout(int spacing, int margin)
{
    auto* layout = new QVBoxLayout;
    layout->setSpacing(spacing);
    layout->setContentsMargins(margin, margin, margin, margin);
    return layout;
}
