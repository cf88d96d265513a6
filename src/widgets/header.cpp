#include "widgets/header.h"

#include "ui_header.h"

Header::Header(QWidget* parent)
    : QWidget(parent), ui(new Ui::Header)
{
    ui->setupUi(this);
    setAutoFillBackground(true);
    // Lower than the form's minimum: pages lay headers out 50 pixels high.
    setMinimumHeight(50);
}

Header::~Header() { delete ui; }

QLabel* Header::titleLabel() const { return ui->base; }
QLabel* Header::subtitleLabel() const { return ui->sub; }
void Header::setTitle(const QString& title) { ui->base->setText(title); }
void Header::setSubtitle(const QString& subtitle) { ui->sub->setText(subtitle); }

void Header::setTexts(const QString& title, const QString& subtitle)
{
    setTitle(title);
    setSubtitle(subtitle);
}
