#include "systemconfigurator/deviceselector.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/device.h"
#include "systemconfigurator/leaveredirector.h"
#include "ui_deviceselector.h"
#include "widgets/stylesource.h"

#include <QMap>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace {

const QMap<int, HardwareVersion>& revisionTable()
{
    static const QMap<int, HardwareVersion> table{{0, 0}, {1, 4}};
    return table;
}

// The box keeps 1 as its least value unless nothing at all may be added.
void setCountMaximum(QSpinBox* box, int maximum)
{
    box->setRange(qMin(1, maximum), maximum);
}

} // namespace

DeviceSelector::DeviceSelector(const QList<DeviceType_t>& offered, bool addMode, bool showTitle,
                               const QList<int>& classes, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent)
    , ui(new Ui::DeviceSelector)
    , addMode(addMode)
    , classes(classes)
{
    ui->setupUi(this);
    setWindowFlags(flags);
    setFocusPolicy(Qt::StrongFocus);

    ui->label->setMouseTracking(false);
    ui->label->setText(tr("Выберите устройство"));
    ui->label->setIndent(10);
    ui->label->setAutoFillBackground(true);
    applyDarkPanelTitleStyle(ui->label, palette());

    ui->spinBox->setRange(1, 99);
    ui->spinBox->setSingleStep(1);
    ui->spinBox->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    ui->spinBox->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    ui->spinBox->setMouseTracking(false);
    ui->spinBox->setFrame(false);

    applyBlueSwitchStyle(ui->revSelector);
    ui->revSelector->setItems({QStringLiteral("XXXX-XX"), QStringLiteral("XXXX-XX-4")});
    QFont font = ui->revSelector->font();
    font.setPixelSize(11);
    font.setStyle(QFont::StyleNormal);
    ui->revSelector->setFont(font);
    ui->revSelector->setCurrentIndex(0, false);
    connect(ui->revSelector, &Switch::currentChanged, this, &DeviceSelector::onRevisionChanged);

    ui->widget->setVisible(addMode);
    ui->label->setVisible(showTitle);

    // The form's 9-point caption would not fit the picker's width in pixels.
    QFont caption = ui->label_2->font();
    caption.setPixelSize(11);
    ui->label_2->setFont(caption);

    ui->listWidget->viewport()->setAutoFillBackground(true);
    // Model names need the width a full scroll bar would take.
    applyScrollBarStyle(ui->listWidget->verticalScrollBar());
    ui->listWidget->setMouseTracking(true);
    connect(ui->listWidget, &QListWidget::itemDoubleClicked, this, &DeviceSelector::onItemSelected);
    connect(ui->listWidget, &QListWidget::entered, this, &DeviceSelector::onItemEntered);
    connect(ui->listWidget, &QListWidget::itemClicked, this, &DeviceSelector::onItemClicked);
    connect(ui->spinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &DeviceSelector::onValueChanged);

    fillList(offered);
    applyListWidgetStyle(this);
    fitWidthToNames();
    ui->selectItem->setText(addMode ? tr("Добавить") : tr("Выбрать"));
    ui->listWidget->installEventFilter(new LeaveRedirector(this));
}

DeviceSelector::~DeviceSelector()
{
    delete ui;
}

void DeviceSelector::fillList(const QList<DeviceType_t>& offered)
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    QList<int> sorted = classes;
    std::sort(sorted.begin(), sorted.end());
    const QSet<DeviceType_t> allowed(offered.cbegin(), offered.cend());
    QList<QListWidgetItem*> overloads;
    QList<QListWidgetItem*> excesses;
    for (const int deviceClass : qAsConst(sorted)) {
        for (const DeviceType_t t : catalogue.types(deviceClass)) {
            DeviceTemplate tpl;
            if (!catalogue.deviceTemplate(t, revision, &tpl, false))
                continue;
            const bool isAllowed = allowed.contains(t);
            if (!isAllowed && tpl.deviceClass != Device::TavClass
                && tpl.deviceClass != Device::PexClass)
                continue;
            auto* item = new QListWidgetItem(tpl.name);
            item->setData(Qt::UserRole, uint(t));
            item->setData(Qt::SizeHintRole, QSize(80, 18));
            if (isAllowed) {
                ui->listWidget->addItem(item);
                continue;
            }
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
            (tpl.deviceClass == Device::PexClass ? overloads : excesses).append(item);
        }
    }
    // The list has no room for headings: each disabled entry says why in its tool tip.
    const auto appendGroup = [this](const QList<QListWidgetItem*>& items, const QString& title) {
        for (QListWidgetItem* item : items) {
            item->setToolTip(title);
            ui->listWidget->addItem(item);
        }
    };
    appendGroup(overloads, tr("Перегруз БП"));
    appendGroup(excesses, tr("Превышение USO"));
}

void DeviceSelector::fitWidthToNames()
{
    // The form's 140 px suit the narrow face the styles name; with the face that stands in for it
    // the longer model names would be cut, so entries and picker grow to the longest name.
    const QFontMetrics metrics(ui->listWidget->font());
    int widest = 0;
    for (int i = 0; i < ui->listWidget->count(); ++i) {
        QListWidgetItem* item = ui->listWidget->item(i);
        const int width = qMax(80, metrics.horizontalAdvance(item->text()) + 12);
        item->setData(Qt::SizeHintRole, QSize(width, 18));
        widest = qMax(widest, width);
    }
    const int list = widest + 2 * ui->listWidget->frameWidth() + 6;
    const int column = ui->widget->isVisibleTo(this) ? ui->spinBox->minimumWidth() + 8 : 0;
    const QMargins margins = ui->verticalLayout_2->contentsMargins();
    const int width = qMax(maximumWidth(), list + column + margins.left() + margins.right());
    setMaximumWidth(width);
    resize(width, height());
}

void DeviceSelector::setBoardLimit(int n)
{
    setCountMaximum(ui->spinBox, n);
    boardLimit = n;
}

void DeviceSelector::setAddressLimit(int n)
{
    setCountMaximum(ui->spinBox, n);
    addressLimit = n;
}

int DeviceSelector::count() const
{
    return ui->spinBox->value();
}

HardwareVersion DeviceSelector::revisionAt(int position)
{
    return revisionTable().value(position, 0);
}

int DeviceSelector::maxCount(DeviceType_t t) const
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    DeviceTemplate tpl;
    if (!catalogue.deviceTemplate(t, -1, &tpl, false))
        return 0;
    if (tpl.deviceClass == Device::TavClass) {
        const int boards = BrandRules::boardsOf(tpl);
        // A controller without I/O boards takes nothing of the board budget.
        if ((BrandRules::limitsByAddresses(catalogue) && boardLimit < 0) || boards == 0)
            return addressLimit;
        return qMin(addressLimit, boardLimit / boards);
    }
    if (tpl.deviceClass == Device::PexClass) {
        const int countLimit =
            BrandRules::limitsByBoards(catalogue) && boardLimit >= 0 ? boardLimit : addressLimit;
        // A module that draws nothing from the supply is limited by the count alone.
        if (tpl.preq <= 0)
            return countLimit;
        return qMin(powerBudget / tpl.preq, countLimit);
    }
    return 0;
}

void DeviceSelector::announce(DeviceType_t t)
{
    {
        const QSignalBlocker blocker(ui->spinBox);
        setCountMaximum(ui->spinBox, maxCount(t));
        ui->spinBox->setValue(lastCount);
    }
    touched = true;
    const int n = addMode ? ui->spinBox->value() : replaceCount;
    int supplyPreview = 0;
    int systemPreview = 0;
    int modulesPreview = 0;
    DeviceTemplate tpl;
    if (SettingsProvider::instance().deviceTemplate(t, revision, &tpl, false)) {
        if (tpl.pgen < 1) {
            supplyPreview = supply;
            systemPreview = !addMode && reserve > 0 ? supply - reserve : supply - powerBudget;
            modulesPreview = tpl.preq * qMax(n, 1);
        } else {
            supplyPreview = tpl.pgen - tpl.preq;
            systemPreview = addMode ? 0 : supply - powerBudget + ownConsumption;
        }
    }
    emit devEntered(t, revision, supplyPreview, systemPreview, modulesPreview);
}

bool DeviceSelector::choosable(const QListWidgetItem* item)
{
    return item && (item->flags() & Qt::ItemIsEnabled) && (item->flags() & Qt::ItemIsSelectable);
}

void DeviceSelector::onItemSelected(QListWidgetItem* item)
{
    if (!choosable(item))
        return;
    type = DeviceType_t(item->data(Qt::UserRole).toUInt());
    touched = true;
    emit editingFinished(type, revision);
}

void DeviceSelector::onItemEntered(const QModelIndex& index)
{
    if (index.isValid())
        announce(DeviceType_t(index.data(Qt::UserRole).toUInt()));
}

void DeviceSelector::onItemClicked(QListWidgetItem* item)
{
    if (!choosable(item))
        return;
    ui->listWidget->setCurrentItem(item);
    item->setSelected(true);
}

void DeviceSelector::onValueChanged(int value)
{
    lastCount = value;
}

void DeviceSelector::onRevisionChanged(int position)
{
    revision = revisionAt(position);
    const SettingsProvider& catalogue = SettingsProvider::instance();
    for (int i = 0; i < ui->listWidget->count(); ++i) {
        QListWidgetItem* item = ui->listWidget->item(i);
        DeviceTemplate tpl;
        if (catalogue.deviceTemplate(DeviceType_t(item->data(Qt::UserRole).toUInt()), revision, &tpl,
                                     false))
            item->setText(tpl.name);
    }
}

void DeviceSelector::on_selectItem_clicked()
{
    onItemSelected(ui->listWidget->currentItem());
}

bool DeviceSelector::event(QEvent* event)
{
    // A pop-up left with a click elsewhere before the user looked at any entry goes away.
    if (event->type() == QEvent::MouseButtonPress && !touched
        && !rect().contains(static_cast<QMouseEvent*>(event)->pos()))
        deleteLater();
    return QWidget::event(event);
}
