#pragma once

#include <QAbstractButton>
#include <QIcon>

// A flat push button painted from its palette: Button/ButtonText normally, Highlight/
// HighlightedText under the mouse. Its picture shrinks while pressed.
class FlatButton : public QAbstractButton
{
    Q_OBJECT
public:
    FlatButton(const QIcon& icon, const QString& text, QWidget* parent = nullptr);
    explicit FlatButton(const QString& text, QWidget* parent = nullptr);
    explicit FlatButton(const QIcon& icon, QWidget* parent = nullptr);

    bool isHovered() const { return hover; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool hover = false;
    QIcon icon;
    QString text;
};
