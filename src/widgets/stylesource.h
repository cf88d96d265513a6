#pragma once

// The style source: every widget is styled where it is built, by one of these functions; there is
// no application-wide style sheet. Every function does nothing when given a null widget.

#include "widgets/infopanel/infopanelstyle.h"
#include "widgets/layoutmetrics.h"
#include "widgets/textstyles.h"
#include "widgets/utils/widgetutils.h"

#include <QColor>
#include <QPalette>

class Header;
class InfoPanel;
class InfoWidget;
class RadioButton;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QFont;
class QListWidget;
class QMenu;
class QMenuBar;
class QMessageBox;
class QProgressBar;
class QProgressDialog;
class QPushButton;
class QScrollBar;
class QSlider;
class QSpinBox;
class QTableView;
class QToolBar;
class QWidget;

// Style sheets.
void applyMenuBarStyle(QMenuBar* menuBar);
void applyMenuStyle(QMenu* menu);
// Styles the lists and spin boxes of the widget given (a list, or a picker holding both).
void applyListWidgetStyle(QWidget* list);
void applyCheckBoxStyle(QCheckBox* checkBox);
// A spin box whose property `outOfRangeProperty` is true shows its text in the warning colour the
// resource tree gives a value in error; set the property, then polish the box again.
extern const char* const outOfRangeProperty;
void applySpinBoxStyle(QSpinBox* spinBox);
void applyDoubleSpinBoxStyle(QDoubleSpinBox* spinBox);
void applyRoundDoubleSpinBoxStyle(QDoubleSpinBox* spinBox);
void applySliderStyle(QSlider* slider);
void applyComboBoxStyle(QComboBox* comboBox);
void applySideButtonStyle(QPushButton* button, bool left);
void applySideButtonStyle2(QPushButton* button, bool left);
void applyDarkButtonStyle(QPushButton* button);
void applyLightButtonStyle(QPushButton* button);
// Needs both widgets; the second one gets the palette with white text.
void applyDetailsButtonStyle(QPushButton* button, QWidget* widget, const QPalette& palette);
void applyProgressBarStyle(QProgressBar* bar);
void applyProgressDialogStyle(QProgressDialog* dialog);
void applyMessageBoxStyle(QMessageBox* box);
void applyScrollBarStyle(QScrollBar* scrollBar);
// Also sets each action's button to the size kept in its data (setToolButtonSizeWide/Normal).
void applyToolBarStyle(QToolBar* toolBar);

// Palettes, starting from a copy of the palette given (or the widget's own).
void applyEditorTitleStyle(QWidget* widget, const QPalette& palette);
void applyDarkPanelTitleStyle(QWidget* widget, const QPalette& palette);
void applyValueLabelStyle(QWidget* widget, const QPalette& palette);
void applyCalibrLabelStyle(QWidget* widget, const QPalette& palette);
void applyBlackTextStyle(QWidget* widget, const QPalette& palette);
void applyHeaderTitleStyle(QWidget* widget, const QPalette& palette);
void applyHeaderSubtitleStyle(QWidget* widget, const QPalette& palette);
void applyAccentLabelStyle(QWidget* widget, const QPalette& palette);
void applyTablePalette(QWidget* widget);
void applyAlarmTableStyle(QTableView* table);
void applyRadioButtonPalette(RadioButton* button, const QPalette& palette);
void applyRadioButtonStyle(RadioButton* button);
// The widget's font is left alone; large and small are the fonts the banner paints with.
void applyBannerStyle(QWidget* widget, QFont& large, QFont& small);
void applySwitchPalette(QWidget* widget, const QColor& activeHighlight, const QColor& activeBase,
                        const QColor& disabledHighlight, const QColor& disabledBase);
void applyGreenSwitchStyle(QWidget* widget);
void applyBlueSwitchStyle(QWidget* widget);

// Structured members.
void applyHeaderStyle(Header* header);
// The one shared record that every information panel gets, built on first use.
const InfoPanelStyle& infoPanelStyle();
void applyInfoPanelStyle(InfoPanel* panel);
void applySystemDetailsStyle(InfoWidget* widget);
void applyUpgradeDetailsStyle(InfoWidget* widget);
void applyDarkBackground(QWidget* widget);
void setPanelBackground(QWidget* widget);
void setWidgetBackground(QWidget* widget, const QColor& colour);
void applyDialogFont(QWidget* widget);
// The dark look of the main window for a dialog of its own (questions, messages, file dialogs,
// the alarms): the palette and the dialog font.
void applyDialogStyle(QWidget* dialog);
QPalette dialogPalette();
void emptyStyleHook(QWidget* widget);
// Adds an accept and a reject button; callers translate them with setDialogButtonTexts.
void addDialogButtons(QDialogButtonBox* box);
void setDialogButtonTexts(QDialogButtonBox* box, const QString& acceptText,
                          const QString& rejectText);
