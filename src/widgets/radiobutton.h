#pragma once

#include <QFont>
#include <QIcon>
#include <QRadioButton>

// A radio button painted with state pictures (Normal, Selected when checked, Active under the
// mouse or while pressed) and its own fonts for the checked and the hovered state.
class RadioButton : public QRadioButton
{
    Q_OBJECT
public:
    RadioButton(const QIcon& icon, const QString& text, QWidget* parent = nullptr);
    // The designer forms' constructor: the default pictures and no text.
    explicit RadioButton(QWidget* parent = nullptr) : RadioButton(QIcon(), QString(), parent) {}

    void setTextFont(const QFont& font, const QFont& checkedFont, const QFont& hoverFont);
    const QFont& checkedFont() const { return checkedFnt; }
    const QFont& hoverFont() const { return hoverFnt; }
    // Room for the picture, the gap and the text in the widest of the three fonts.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool hitButton(const QPoint& pos) const override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool hover = false;
    QIcon icon;
    QFont checkedFnt;
    QFont hoverFnt;
};
