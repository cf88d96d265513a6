// Style-sheet members of the style source. The sheet texts are kept as the program has always set
// them, including declarations the style engine ignores ("border: 1 solid", "height 10px").
#include "widgets/stylesource.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QToolBar>

const char* const outOfRangeProperty = "outOfRange";

namespace {

QString rule(const QString& selector, const QString& declarations)
{
    return selector + QStringLiteral(" {") + declarations + QStringLiteral("}");
}

QFont segoe(int pixelSize) { return makeFont(fontFamilySegoe, pixelSize, false); }

// Tab moves the keyboard focus through the controls; the one that has it wears a light blue edge,
// a colour no control uses otherwise.
QString focusRule(const QString& selector)
{
    return rule(selector + QStringLiteral(":focus"), QStringLiteral("border: 1px solid #74c8ff;"));
}

void setSheetAndFont(QWidget* widget, const QString& sheet, const QFont& font)
{
    widget->setStyleSheet(sheet);
    widget->setFont(font);
}

// The hover, disabled and arrow-button rules that the spin box and the double spin box share;
// their arrows sit left and right of the text.
QString spinBoxButtonRules(const QString& selector)
{
    const QString icons = QStringLiteral(":/icons/resources/icons/spec/");
    return rule(selector + ":hover", "background-color: #666C70;")
        + rule(selector + ":disabled", "background-color: #555A60; color: darkGray;")
        + rule(selector + "::up-button",
               "subcontrol-position: center right; image: url(" + icons
                   + "arrow_button_right_norm.png); padding: 4px;")
        + rule(selector + "::up-button::hover",
               "image: url(" + icons + "arrow_button_right_hover.png);")
        + rule(selector + "::up-button::pressed", "padding: 5px;")
        + rule(selector + "::up-button::disabled", "image: none;")
        + rule(selector + "::down-button",
               "subcontrol-position: center left; image: url(" + icons
                   + "arrow_button_left_norm.png); padding: 4px;")
        + rule(selector + "::down-button::hover",
               "image: url(" + icons + "arrow_button_left_hover.png);")
        + rule(selector + "::down-button::pressed", "padding: 5px;")
        + rule(selector + "::down-button::disabled", "image: none;");
}

// Last, so that it holds for a disabled box too: the value shown there is no less wrong.
QString outOfRangeRule(const QString& selector)
{
    return rule(selector + QStringLiteral("[") + QLatin1String(outOfRangeProperty)
                    + QStringLiteral("=\"true\"]"),
                QStringLiteral("color: #ff6a48;"));
}

QString doubleSpinBoxSheet(const QString& firstRuleExtra)
{
    return rule("QDoubleSpinBox",
                "margin: 0px; border : 1px solid #61666d; background-color: #555A60; color: white; "
                "selection-background-color: #078cd5; selection-color: white;"
                    + firstRuleExtra)
        + spinBoxButtonRules("QDoubleSpinBox") + focusRule("QDoubleSpinBox")
        + outOfRangeRule("QDoubleSpinBox");
}

QString sideButtonSheet(const QString& disabledDeclarations)
{
    return rule("QPushButton",
                "background-color: #2b2d30; color:white; border: 1 solid #9f9f9f; "
                "border-bottom-%1-radius: 12px; border-top-%1-radius: 12px;")
        + rule("QPushButton:hover",
               "color: white; background-color: #55565b; border: 1 solid #9f9f9f;")
        + rule("QPushButton:disabled", disabledDeclarations) + focusRule("QPushButton");
}

void applySideSheet(QPushButton* button, bool left, const QString& disabledDeclarations)
{
    const QString side = left ? QStringLiteral("left") : QStringLiteral("right");
    setSheetAndFont(button, sideButtonSheet(disabledDeclarations).arg(side), segoe(12));
}

} // namespace

void applyMenuBarStyle(QMenuBar* menuBar)
{
    if (!menuBar)
        return;
    setSheetAndFont(menuBar,
        "QMenuBar {background-color: #545659; color: white; }"
        "QMenuBar::item { background-color: #545659; spacing: 3px; margin: 2px; padding: 2px 4px; "
        "border: 1px solid #545659; border-radius:2px;}"
        "QMenuBar::item:selected {background-color: #3c3d3f; border: 1px solid #6d6f70; "
        "border-radius:2px;}"
        "QMenuBar::item:pressed {background-color: #2a2b2d; border: 1px solid #6d6f70; "
        "border-radius:2px}"
        "QMenu {background-color: white; border:1px solid #b3bac2;}"
        "QMenu::item {background-color: transparent}"
        "QMenu::item:selected {background-color: #088BD4; color: #ededed}",
        segoe(12));
}

void applyMenuStyle(QMenu* menu)
{
    if (!menu)
        return;
    setSheetAndFont(menu,
        "QMenu {background-color: white; border:1px solid #b3bac2;}"
        "QMenu::item {background-color: transparent;}"
        "QMenu::item:selected {background-color: #088BD4; color: #e9ebed}",
        segoe(12));
}

void applyListWidgetStyle(QWidget* list)
{
    if (!list)
        return;
    const QString icons = QStringLiteral(":/icons/resources/icons/spec/");
    const QString sheet = rule("QListWidget", "background-color: white; border:1px solid #b3bac2;")
        + rule("QListWidget::item", "background-color: transparent;")
        + rule("QListWidget::item:selected", "background-color: #088BD4; color: #e9ebed")
        + rule("QListWidget::item:hover", "background-color:#30aae0;")
        + rule("QSpinBox",
               "margin: 0px; border-width: 1px; border-style: solid; border-color: #53575d; "
               "background-color: #555A60; color: white; selection-background-color: #078cd5; "
               "selection-color: white; border-top: 20px solid #53575d; "
               "border-bottom: 20px solid #53575d;")
        + rule("QSpinBox:disabled", "background-color: #555A60; color: darkGray;")
        + rule("QSpinBox::up-button",
               "subcontrol-origin: border; subcontrol-position: center top; height 10px; "
               "image: url(" + icons + "arrow_button_up_norm.png); padding: 2px;")
        + rule("QSpinBox::up-button::hover", "image: url(" + icons + "arrow_button_up_hover.png);")
        + rule("QSpinBox::up-button::pressed", "padding: 3px;")
        + rule("QSpinBox::up-button::disabled", "image: none;")
        + rule("QSpinBox::down-button",
               "subcontrol-origin: border; subcontrol-position: center bottom; height 10px; "
               "image: url(" + icons + "arrow_button_down_norm.png); padding: 2px;")
        + rule("QSpinBox::down-button::hover",
               "image: url(" + icons + "arrow_button_down_hover.png);")
        + rule("QSpinBox::down-button::pressed", "padding: 3px;")
        + rule("QSpinBox::down-button::disabled", "image: none;");
    setSheetAndFont(list, sheet, segoe(12));
}

void applyCheckBoxStyle(QCheckBox* checkBox)
{
    if (!checkBox)
        return;
    const auto picture = [](const QString& selector, const QString& file) {
        return rule(selector, "image: url(:/icons/resources/icons/spec/" + file + ");");
    };
    const QString sheet = rule("QCheckBox", "color:white")
        + rule("QCheckBox::indicator",
               "border-width: 0px; border-style: solid; border-color: gray; width: 16px; "
               "height: 16px; color: #309bc0; background-color:#2d2b30")
        + picture("QCheckBox::indicator", "cb-unchecked.png")
        + picture("QCheckBox::indicator:checked", "cb-check.png")
        + picture("QCheckBox::indicator:checked:pressed", "cb-check-p.png")
        + picture("QCheckBox::indicator:indeterminate", "cb-tristate.png")
        + picture("QCheckBox::indicator:hover", "cb-hover.png")
        + picture("QCheckBox::indicator:hover:checked", "cb-check-p.png")
        + picture("QCheckBox::indicator:disabled", "cb-hover.png")
        + picture("QCheckBox::indicator:disabled:checked", "cb-check-p.png")
        + picture("QCheckBox::indicator:pressed", "cb-check-p.png")
        + rule("QCheckBox:focus", "color: #74c8ff;")
        + picture("QCheckBox::indicator:focus", "cb-hover.png")
        + picture("QCheckBox::indicator:checked:focus", "cb-check-p.png")
        // Differing inputs stay told apart from unchecked ones while the box has the focus.
        + picture("QCheckBox::indicator:indeterminate:focus", "cb-tristate.png");
    setSheetAndFont(checkBox, sheet, segoe(12));
}

void applySpinBoxStyle(QSpinBox* spinBox)
{
    if (!spinBox)
        return;
    const QString sheet = rule("QSpinBox",
                               "margin: 0px; border-width: 1px; border-style: solid; "
                               "border-color: #53575d; border-radius: 12px; "
                               "background-color: #555A60; color: white; "
                               "selection-background-color: #078cd5; selection-color: white;")
        + spinBoxButtonRules("QSpinBox") + rule("QSpinBox", "border : 1px solid #61666d;")
        + focusRule("QSpinBox") + outOfRangeRule("QSpinBox");
    setSheetAndFont(spinBox, sheet, makeFont(fontFamilySegoe + " Semibold", 15, false));
}

void applyDoubleSpinBoxStyle(QDoubleSpinBox* spinBox)
{
    if (!spinBox)
        return;
    setSheetAndFont(spinBox, doubleSpinBoxSheet(QString()),
                    makeFont(fontFamilySegoe + " Semibold", 15, false));
}

void applyRoundDoubleSpinBoxStyle(QDoubleSpinBox* spinBox)
{
    if (!spinBox)
        return;
    setSheetAndFont(spinBox, doubleSpinBoxSheet(" border-radius: 12px;"),
                    makeFont(fontFamilySegoe + " Semibold", 15, false));
}

void applySliderStyle(QSlider* slider)
{
    if (!slider)
        return;
    slider->setStyleSheet(
        "QSlider::groove { border: none; height: 2px; background: #6d6f70; }"
        "QSlider::handle {width: 13px; height: 13px; "
        "image: url(:/icons/resources/icons/spec/slider-handle.png); margin: -13px 0; }"
        "QSlider::groove::hover { background: #898a8b; }");
}

void applyComboBoxStyle(QComboBox* comboBox)
{
    if (!comboBox)
        return;
    const QString icons = QStringLiteral(":/icons/resources/icons/spec/");
    const QString sheet = rule("QComboBox",
                               "border: 1 solid #53575d; border-radius: 13px; "
                               "padding: 1px 1px 3px 3px; min-width: 6em; "
                               "background-color: #555a60; padding-left: 14px; color: white;")
        + rule("QComboBox QAbstractItemView",
               "border: 1 solid #53575d; border-top: none; selection-background-color: #088bd4; "
               "background-color: #2b2d30; selection-color: white; color: white; outline: 0px;")
        + rule("QComboBox QAbstractItemView::item", "min-height: 30px;")
        + rule("QComboBox:hover", "background-color: #666C70;")
        + rule("QComboBox::drop-down",
               "padding: 5; subcontrol-position: center right; image: url(" + icons
                   + "arrow_button_down_norm.png);")
        + rule("QComboBox::drop-down:hover",
               "padding: 5; subcontrol-position: center right; image: url(" + icons
                   + "arrow_button_down_hover.png);")
        + rule("QComboBox:pressed", "border-bottom-right-radius: 0px; border-bottom-left-radius: 0px;")
        + rule("QComboBox:on", "border-bottom-right-radius: 0px; border-bottom-left-radius: 0px;")
        + rule("QComboBox", "border : 1px solid #61666d;") + focusRule("QComboBox");
    comboBox->setStyleSheet(sheet);
    // A frameless pop-up without the platform's drop shadow keeps the rounded box's look.
    if (QWidget* popup = comboBox->view() ? comboBox->view()->window() : nullptr)
        popup->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    QFont font = segoe(12);
    font.setStyle(QFont::StyleItalic);
    comboBox->setFont(font);
}

void applySideButtonStyle(QPushButton* button, bool left)
{
    if (!button)
        return;
    applySideSheet(button, left, "background-color: #265465; color:gray; border: 2 solid #309bc0;");
}

void applySideButtonStyle2(QPushButton* button, bool left)
{
    if (!button)
        return;
    applySideSheet(button, left, "background-color: #66272d; color:gray; border: 2 solid #bb333d;");
}

void applyDarkButtonStyle(QPushButton* button)
{
    if (!button)
        return;
    const QString sheet = rule("QPushButton",
                               "background-color: #2b2d30; color:white; border: 1 solid #9f9f9f; "
                               "border-radius: 3px;")
        + rule("QPushButton:hover",
               "color: white; background-color: #55565b; border: 1 solid #9f9f9f;")
        + rule("QPushButton:pressed",
               "background-color: #265465; color:gray; border: 2 solid #309bc0;")
        + focusRule("QPushButton");
    setSheetAndFont(button, sheet, segoe(12));
}

void applyLightButtonStyle(QPushButton* button)
{
    if (!button)
        return;
    setSheetAndFont(button,
        "QPushButton {background-color: #cbd1d8; color:#383B3F; border:none;}"
        "QPushButton:hover {background-color: #dfe4e8;color:black;border:none;}"
        "QPushButton:pressed {background-color: #555a60; color:white; border:none;}"
        "QPushButton:disabled {background-color: white; color:gray; border:none;}"
            + focusRule("QPushButton"),
        segoe(14));
}

void applyDetailsButtonStyle(QPushButton* button, QWidget* widget, const QPalette& palette)
{
    if (!button || !widget)
        return;
    setSheetAndFont(button,
        "QPushButton{background-color: white; color:black;border:none;image-position:left;"
        "image:url(:/icons/resources/icons/spec/det_show.png);}"
        "QPushButton:pressed {background-color: #555a60; color:white; border:none;}"
        "QPushButton:checked {background-color: white; color:black; border:none;"
        "image:url(:/icons/resources/icons/spec/det_hide.png);}"
        "QPushButton:hover {background-color: #dfe4e8;border:none;}"
            + focusRule("QPushButton"),
        segoe(12));
    QPalette copy(palette);
    copy.setBrush(QPalette::All, QPalette::Text, QBrush(Qt::white, Qt::SolidPattern));
    widget->setPalette(copy);
}

void applyProgressBarStyle(QProgressBar* bar)
{
    if (!bar)
        return;
    bar->setStyleSheet(
        "QProgressBar { background: white; color: #44484e; border-width: 2px;border-style: solid; "
        "border-color: #cbd1d8; text-align: center;}"
        "QProgressBar::chunk { background-color: #74c8ff; }");
}

void applyProgressDialogStyle(QProgressDialog* dialog)
{
    if (!dialog)
        return;
    applyDialogStyle(dialog);
    dialog->setStyleSheet(
        "QProgressDialog QProgressBar { background: white; color: #44484e; border-width: 1px; "
        "border-style: solid; border-color: #cbd1d8; text-align: center;}"
        "QProgressDialog QProgressBar::chunk { background-color: #74c8ff; }");
}

// Dark like the main window; the face and border change with hover, press and focus so that an
// enabled button never reads as a disabled one, and the default button is no lighter than the rest.
static QString dialogButtonSheet(const QString& scope)
{
    const QString button = scope + QStringLiteral("QPushButton");
    return rule(button, "background-color: #555a60; color:white; border:1px solid #6d6f70; "
                        "border-radius: 3px; min-width: 70px; min-height: 25px; padding: 0 8px;")
        + rule(button + ":hover", "background-color: #666c70;")
        + rule(button + ":pressed", "background-color: #2b2d30;")
        + rule(button + ":focus", "border:1px solid #74c8ff;")
        + rule(button + ":disabled", "background-color: #44484e; color:gray;");
}

// A widget under a style sheet does not take its parent's palette, so a dialog's own texts would
// keep the light desktop's black on the dark ground. Texts deeper down, on cards of their own
// (the upgrade details), keep theirs. The ground comes with the text: the sheet also reaches the
// boxes Qt's own dialogs open as windows of their own (the file dialog's "replace it?"), which
// take no palette from their parent, and there the white text stood on the desktop's light grey.
static QString dialogTextSheet()
{
    return rule(QStringLiteral("QDialog"), "background-color: #44484e;")
        + rule(QStringLiteral("QDialog > QLabel"), "color: white;");
}

void applyDialogStyle(QWidget* dialog)
{
    if (!dialog)
        return;
    dialog->setPalette(dialogPalette());
    setSheetAndFont(dialog, dialogButtonSheet(QString()) + dialogTextSheet(), segoe(12));
}

void applyMessageBoxStyle(QMessageBox* box)
{
    if (!box)
        return;
    applyDialogStyle(box);
    box->setStyleSheet(rule("QMessageBox", "background-color: #44484e; border:1px solid #6d6f70;")
                       + dialogButtonSheet(QStringLiteral("QMessageBox ")) + dialogTextSheet());
    box->setWindowFlags(box->windowFlags() | Qt::FramelessWindowHint);
}

void applyScrollBarStyle(QScrollBar* scrollBar)
{
    if (!scrollBar)
        return;
    const QString sheet = QStringLiteral(
        "QScrollBar:vertical { background: %1; width: 5px; }"
        "QScrollBar::handle:vertical { background: %2; min-height: 20px; border-radius: 2px; }"
        "QScrollBar::sub-page:vertical { background-color: %1; }"
        "QScrollBar::add-page:vertical { background-color: %1; }");
    scrollBar->setStyleSheet(
        sheet.arg(QColor(0xffffff).name()).arg(QColor(0xcccccc).name()));
}

void applyToolBarStyle(QToolBar* toolBar)
{
    if (!toolBar)
        return;
    toolBar->setStyleSheet(
        "QToolBar {background-color: #545659; border: 0px; margin:0;}"
        "QToolButton {background-color: #545659; margin: 0; border: 1px solid #545659; "
        "border-radius:2px; padding: 1px;}"
        "QToolButton:hover {background-color: #3c3d3f; border: 1px solid #6d6f70; "
        "border-radius:2px}"
        "QToolButton:pressed {background-color: #2a2b2d; border: 1px solid #6d6f70; "
        "border-radius:2px}");
    toolBar->setIconSize(QSize(39, 36));
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const auto actions = toolBar->actions();
    for (QAction* action : actions) {
        const QVariant data = action->data();
        if (data.type() != QVariant::Size || !data.toSize().isValid())
            continue;
        if (QWidget* button = toolBar->widgetForAction(action))
            button->setFixedSize(data.toSize());
    }
}
