#pragma once

#include <QPair>
#include <QString>
#include <QVector>
#include <QWidget>

class QLabel;
struct IndicatorStyle;

namespace Ui {
class Indicator;
}

// A read-only tile of an information panel: a main value over its title, an optional extra caption
// between them and a column of up to four small title/value pairs beside them.
class Indicator : public QWidget
{
    Q_OBJECT

public:
    static constexpr int nAdditionalFields = 4;

    explicit Indicator(QWidget* parent = nullptr);
    ~Indicator() override;

    void setMainTitle(const QString& text);
    void setMainValue(const QString& text);
    void setExtraTitle(const QString& text);

    // Null for an index outside 0..nAdditionalFields-1.
    QLabel* additionalTitle(int i) const;
    QLabel* additionalValue(int i) const;
    void setAdditionalTitle(int i, const QString& text);
    void setAdditionalValue(int i, const QString& text);
    void setAdditionalFieldsHidden(bool hidden);

    void setHighlighted(bool on);
    void collapseExtraTitle();
    void useExtraTitle(bool use);
    void applyStyle(const IndicatorStyle& style);

private:
    void fitMainTitle();
    Ui::Indicator* ui;
};

// Fills the indicator from (title, value) pairs: the first gives the main title and value, the next
// four the additional fields; later pairs are ignored. An empty list changes nothing.
void setIndicator(Indicator* indicator, const QVector<QPair<QString, QString>>& fields,
                  bool useExtraTitle, bool hideAdditional);
// Empties the main texts and every additional field; the extra title keeps its text.
void clearIndicator(Indicator* i);
