// The style source: null widgets, window flags, dialog buttons and the pictures the sheets name.
#include "widgets/radiobutton.h"
#include "widgets/startup.h"
#include "widgets/stylesource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QToolBar>
#include <QtTest>

class TestStyleSource : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initWidgets(); }
    void everyFunctionIgnoresANullWidget();
    void picturesNamedBySheetsAreCompiledIn();
    void messageBoxKeepsItsFlagsAndBecomesFrameless();
    void dialogButtonsGetTextsByRole();
};

void TestStyleSource::everyFunctionIgnoresANullWidget()
{
    QFont large;
    QFont small;
    QPalette palette;
    QLabel other;
    applyMenuBarStyle(nullptr);
    applyMenuStyle(nullptr);
    applyListWidgetStyle(nullptr);
    applyCheckBoxStyle(nullptr);
    applySpinBoxStyle(nullptr);
    applyDoubleSpinBoxStyle(nullptr);
    applyRoundDoubleSpinBoxStyle(nullptr);
    applySliderStyle(nullptr);
    applyComboBoxStyle(nullptr);
    applySideButtonStyle(nullptr, true);
    applySideButtonStyle2(nullptr, false);
    applyDarkButtonStyle(nullptr);
    applyLightButtonStyle(nullptr);
    applyDetailsButtonStyle(nullptr, &other, palette);
    applyProgressBarStyle(nullptr);
    applyProgressDialogStyle(nullptr);
    applyMessageBoxStyle(nullptr);
    applyScrollBarStyle(nullptr);
    applyToolBarStyle(nullptr);
    applyEditorTitleStyle(nullptr, palette);
    applyDarkPanelTitleStyle(nullptr, palette);
    applyValueLabelStyle(nullptr, palette);
    applyCalibrLabelStyle(nullptr, palette);
    applyBlackTextStyle(nullptr, palette);
    applyHeaderTitleStyle(nullptr, palette);
    applyHeaderSubtitleStyle(nullptr, palette);
    applyAccentLabelStyle(nullptr, palette);
    applyTablePalette(nullptr);
    applyAlarmTableStyle(nullptr);
    applyRadioButtonPalette(nullptr, palette);
    applyRadioButtonStyle(nullptr);
    applyBannerStyle(nullptr, large, small);
    applyGreenSwitchStyle(nullptr);
    applyBlueSwitchStyle(nullptr);
    applyHeaderStyle(nullptr);
    applyDarkBackground(nullptr);
    setPanelBackground(nullptr);
    setWidgetBackground(nullptr, Qt::red);
    applyDialogFont(nullptr);
    addDialogButtons(nullptr);
    setDialogButtonTexts(nullptr, "a", "b");
    applyTextStyle(nullptr, "PanelTitles");
    applyBlankInfoTextStyle(nullptr);
    QCOMPARE(large, QFont());
    QCOMPARE(small, QFont());

    // The details style needs both widgets: the button alone stays unstyled.
    QPushButton button;
    applyDetailsButtonStyle(&button, nullptr, palette);
    QVERIFY(button.styleSheet().isEmpty());
}

void TestStyleSource::picturesNamedBySheetsAreCompiledIn()
{
    QListWidget list;
    QCheckBox check;
    QSpinBox spin;
    QDoubleSpinBox doubleSpin;
    QSlider slider;
    QComboBox combo;
    QPushButton details;
    QLabel other;
    applyListWidgetStyle(&list);
    applyCheckBoxStyle(&check);
    applySpinBoxStyle(&spin);
    applyDoubleSpinBoxStyle(&doubleSpin);
    applySliderStyle(&slider);
    applyComboBoxStyle(&combo);
    applyDetailsButtonStyle(&details, &other, other.palette());
    const QString sheets = list.styleSheet() + check.styleSheet() + spin.styleSheet()
        + doubleSpin.styleSheet() + slider.styleSheet() + combo.styleSheet()
        + details.styleSheet();
    const QRegularExpression url("url\\(([^)]+)\\)");
    int pictures = 0;
    for (auto it = url.globalMatch(sheets); it.hasNext(); ++pictures) {
        const QString path = it.next().captured(1);
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
    QCOMPARE(pictures, 29);
    for (const char* radio : {"radio_off", "radio_on", "radio_p"})
        QVERIFY(!QImage(QString(":/icons/resources/icons/spec/%1.png").arg(radio)).isNull());
    QVERIFY(!QImage(":/appicon/tavc48.png").isNull());
}

void TestStyleSource::messageBoxKeepsItsFlagsAndBecomesFrameless()
{
    QMessageBox box;
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    const Qt::WindowFlags before = box.windowFlags();
    applyMessageBoxStyle(&box);
    QCOMPARE(box.windowFlags(), before | Qt::FramelessWindowHint);
    QVERIFY(box.styleSheet().startsWith("QMessageBox {background-color: #44484e;"));
}


void TestStyleSource::dialogButtonsGetTextsByRole()
{
    QDialogButtonBox box;
    addDialogButtons(&box);
    QCOMPARE(box.buttons().size(), 2);
    setDialogButtonTexts(&box, "Да", "Нет");
    QStringList texts;
    for (QAbstractButton* button : box.buttons()) {
        texts << QString("%1:%2").arg(box.buttonRole(button)).arg(button->text());
        QCOMPARE(button->minimumSize(), QSize(75, 25));
    }
    texts.sort();
    QCOMPARE(texts, QStringList({"0:Да", "1:Нет"}));

    QDialogButtonBox help(QDialogButtonBox::Help);
    const QString helpText = help.buttons().first()->text();
    setDialogButtonTexts(&help, "Да", "Нет");
    QCOMPARE(help.buttons().first()->text(), helpText);
}



QTEST_MAIN(TestStyleSource)
#include "tst_stylesource.moc"
