#include "widgets/ainconnection.h"

#include "ui_ainconnection.h"
#include "widgets/textstyles.h"

#include <QEvent>

namespace {

const char* const lowerPath = ":/pics/resources/pics/ain/down/";
const char* const upperPath = ":/pics/resources/pics/ain/up/";

// Wiring picture files per (mode, variant): lower row, upper row. Modes 2 and 4 are both
// two-wire resistance thermometers; the three-wire one uses all three terminals, so both
// variants share its picture. The upper three-wire file has a blank in its name.
struct WiringFiles
{
    int mode;
    int variant;
    const char* lower;
    const char* upper;
};
const WiringFiles wiringFiles[] = {
    {0, 0, "connection_2x_0-10_bottom1.png", "connection_2x_0-10_top1.png"},
    {0, 1, "connection_2x_0-10_bottom2.png", "connection_2x_0-10_top2.png"},
    {1, 0, "connection_2x_4-20_bottom1.png", "connection_2x_4-20_top1.png"},
    {1, 1, "connection_2x_4-20_bottom2.png", "connection_2x_4-20_top2.png"},
    {2, 0, "connection_2x_RTD_bottom1.png", "connection_2x_RTD_top1.png"},
    {2, 1, "connection_2x_RTD_bottom2.png", "connection_2x_RTD_top2.png"},
    {3, 0, "connection_3x_RTD_bottom1.png", "connection_3x RTD_top.png"},
    {3, 1, "connection_3x_RTD_bottom1.png", "connection_3x RTD_top.png"},
    {4, 0, "connection_2x_RTD_bottom1.png", "connection_2x_RTD_top1.png"},
    {4, 1, "connection_2x_RTD_bottom2.png", "connection_2x_RTD_top2.png"},
};

void setTexts(const QList<QLabel*>& labels, const QStringList& texts)
{
    for (int i = 0; i < labels.size(); ++i)
        labels.at(i)->setText(texts.value(i));
}

} // namespace

AinConnection::AinConnection(QWidget* parent)
    : QWidget(parent), ui(new Ui::AinConnection)
{
    ui->setupUi(this);
    buildPictures();
    setFlipped(true);
}

AinConnection::~AinConnection() { delete ui; }

void AinConnection::buildPictures()
{
    Row& lower = rows[LowerRow];
    lower.background = QPixmap(QString::fromLatin1(lowerPath) + "connection_background_bottom.png");
    lower.picture = ui->pinConnectionDown;
    lower.pinLabels = {ui->pinDown_0, ui->pinDown_1, ui->pinDown_2};
    lower.ainLabels = {ui->ainDown_0, ui->ainDown_1};

    Row& upper = rows[UpperRow];
    upper.background = QPixmap(QString::fromLatin1(upperPath) + "connection_background_top.png");
    upper.picture = ui->pinConnectionUp;
    upper.pinLabels = {ui->pinUp_0, ui->pinUp_1, ui->pinUp_2};
    upper.ainLabels = {ui->ainUp_0, ui->ainUp_1};

    for (const WiringFiles& files : wiringFiles) {
        const QPair<int, int> key(files.mode, files.variant);
        lower.pictures.insert(key, QPixmap(QString::fromLatin1(lowerPath) + files.lower));
        upper.pictures.insert(key, QPixmap(QString::fromLatin1(upperPath) + files.upper));
    }

    for (Row& row : rows) {
        for (QLabel* label : qAsConst(row.pinLabels)) {
            applyAinConPinStyle(label);
            label->setText(QString());
        }
        for (QLabel* label : qAsConst(row.ainLabels)) {
            applyAinConAinStyle(label);
            label->setText(QString());
        }
        row.picture->setText(QString());
    }
    showConnection(2, 0);
}

void AinConnection::showConnection(int mode, int variant)
{
    // A mode without a picture (a sensor kind this board cannot take) blanks the picture.
    for (Row& row : rows)
        row.picture->setPixmap(row.pictures[qMakePair(mode, variant)]);
}

void AinConnection::showRowLabels(const Row& row, bool visible)
{
    for (QLabel* label : row.pinLabels)
        label->setVisible(visible);
    for (QLabel* label : row.ainLabels)
        label->setVisible(visible);
}

void AinConnection::setFlipped(bool flip)
{
    const int visibleKey = flip ? UpperRow : LowerRow;
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        const bool visible = it.key() == visibleKey;
        if (visible)
            ui->background->setPixmap(it->background);
        it->picture->setVisible(visible && pictureVisible);
        showRowLabels(*it, visible && labelsVisible);
    }
    flipped = flip;
    retranslateTexts();
}

void AinConnection::setAinTexts(const QStringList& texts)
{
    for (const Row& row : qAsConst(rows))
        setTexts(row.ainLabels, texts);
}

void AinConnection::setPinTexts(const QStringList& texts)
{
    for (const Row& row : qAsConst(rows))
        setTexts(row.pinLabels, texts);
}

void AinConnection::setPictureVisible(bool visible)
{
    pictureVisible = visible;
    const auto row = rows.constFind(flipped ? UpperRow : LowerRow);
    if (row != rows.constEnd())
        row->picture->setVisible(visible);
}

void AinConnection::setLabelsVisible(bool visible)
{
    labelsVisible = visible;
    const auto row = rows.constFind(flipped ? UpperRow : LowerRow);
    if (row != rows.constEnd())
        showRowLabels(*row, visible);
}

void AinConnection::retranslateTexts()
{
    const QString terminal = tr("КЛЕММА");
    const QString marking = tr("МАРКИРОВКА");
    ui->upText->setText(flipped ? terminal : marking);
    ui->downText->setText(flipped ? marking : terminal);
}

void AinConnection::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateTexts();
    QWidget::changeEvent(event);
}
