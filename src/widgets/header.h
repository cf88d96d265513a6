#pragma once

#include <QWidget>

class QLabel;
namespace Ui { class Header; }

// A two-line page header: a title above a subtitle, styled by applyHeaderStyle.
class Header : public QWidget
{
    Q_OBJECT
public:
    explicit Header(QWidget* parent = nullptr);
    ~Header() override;

    QLabel* titleLabel() const;
    QLabel* subtitleLabel() const;
    void setTitle(const QString& title);
    void setSubtitle(const QString& subtitle);
    void setTexts(const QString& title, const QString& subtitle);

private:
    Ui::Header* ui;
};
