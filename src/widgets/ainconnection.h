#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QPixmap>
#include <QWidget>

class QLabel;
namespace Ui { class AinConnection; }

// Shows how a sensor is wired to the terminals of one analogue input: the terminal block, the
// wiring picture of the connection mode, terminal and input numbers and two captions. Of its two
// rows exactly one is visible: the lower one (wires leaving the block downwards) or, when flipped,
// the upper one.
class AinConnection : public QWidget
{
    Q_OBJECT
public:
    explicit AinConnection(QWidget* parent = nullptr);
    ~AinConnection() override;

    // variant 0 is an odd-numbered input, 1 an even-numbered one. Both rows follow.
    void showConnection(int mode, int variant);
    void setFlipped(bool flipped);
    bool isFlipped() const { return flipped; }
    void setAinTexts(const QStringList& texts);
    void setPinTexts(const QStringList& texts);
    void setPictureVisible(bool visible);
    void setLabelsVisible(bool visible);
    void retranslateTexts();

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Row
    {
        QPixmap background;
        QLabel* picture = nullptr;
        QMap<QPair<int, int>, QPixmap> pictures;
        QList<QLabel*> pinLabels;
        QList<QLabel*> ainLabels;
    };
    enum RowKey { LowerRow = 0, UpperRow = 1 };

    void buildPictures();
    void showRowLabels(const Row& row, bool visible);

    QMap<int, Row> rows;
    bool flipped = false;
    bool labelsVisible = true;
    bool pictureVisible = true;
    Ui::AinConnection* ui;
};
