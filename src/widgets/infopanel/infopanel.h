#pragma once

#include <QString>
#include <QWidget>

class Indicator;
struct InfoPanelStyle;

namespace Ui {
class InfoPanel;
}

// A titled block of six indicators. The classes that fill it decide what each indicator shows.
class InfoPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int nIndicators = 6;

    explicit InfoPanel(QWidget* parent = nullptr);
    ~InfoPanel() override;

    void setTitle(const QString& title);
    // Null for a number outside 0..nIndicators-1.
    Indicator* indicator(int n) const;
    void applyStyle(const InfoPanelStyle& style);

private:
    void keepCompact();
    Ui::InfoPanel* ui;
};

// How a panel filler reaches indicator n of its panel; null for a null panel or a wrong number.
Indicator* panelIndicator(const InfoPanel* ip, int n);

// A packed version: major in bits 31..24, minor in 23..16, build in 15..0. Missing or malformed
// fields count as 0, and each number keeps only the bits of its own place.
quint32 versionFromString(const QString& text);
// "major.minor.build" with the build at least four digits wide.
QString versionToString(quint32 version);
