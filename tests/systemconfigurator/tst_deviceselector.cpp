// The device selector: which entries it lists and in what order, which are disabled, the most
// devices the count box allows, the power preview, choosing, the revision switch and the closing
// of an untouched pop-up.
#include "support/isolatedenvironment.h"
#include "systemconfigurator/deviceselector.h"
#include "systemfixture.h"
#include "widgets/startup.h"
#include "widgets/switch.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QSpinBox>

using namespace SystemFixture;

namespace {

QListWidget* listOf(DeviceSelector& s)
{
    return s.findChild<QListWidget*>(QStringLiteral("listWidget"));
}

QList<DeviceType_t> entries(DeviceSelector& s, bool enabled)
{
    QList<DeviceType_t> out;
    QListWidget* list = listOf(s);
    for (int i = 0; i < list->count(); ++i) {
        if (bool(list->item(i)->flags() & Qt::ItemIsEnabled) == enabled)
            out << DeviceType_t(list->item(i)->data(Qt::UserRole).toUInt());
    }
    return out;
}

QList<DeviceType_t> without(QList<DeviceType_t> list, DeviceType_t t)
{
    list.removeAll(t);
    return list;
}

} // namespace

class DeviceSelectorTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;
    SettingsProvider* catalogue = nullptr;
    QMap<DeviceType_t, DeviceTemplate> original;

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        initWidgets();
        qRegisterMetaType<DeviceType_t>("DeviceType_t");
        qRegisterMetaType<HardwareVersion>("HardwareVersion");
        catalogue = &SettingsProvider::instance();
        QCOMPARE(catalogue->mode, 1);
        tav = typeWithBoards(2, 2);
        pex = typeWithBoards(3, 1);
        QVERIFY(tav && pex);
        QVERIFY(catalogue->types(3).size() > 1);
        original = catalogue->templates;
    }

    void cleanup() { catalogue->templates = original; }

    void offeredTypesComeFirstAndTheRestDisabledInGroups()
    {
        DeviceSelector selector({pex, tav}, true, false, {3, 2});
        // Classes in ascending order: the controller before the module.
        QCOMPARE(entries(selector, true), QList<DeviceType_t>({tav, pex}));
        const QList<DeviceType_t> disabled = without(catalogue->types(3), pex)
            + without(catalogue->types(2), tav);
        QCOMPARE(entries(selector, false), disabled);
        QListWidget* list = listOf(selector);
        QCOMPARE(list->item(2)->toolTip(), QString("Перегруз БП"));
        QCOMPARE(list->item(list->count() - 1)->toolTip(), QString("Превышение USO"));
        QVERIFY(!(list->item(2)->flags() & Qt::ItemIsSelectable));

        // Nothing offered: every entry disabled, none chosen through the button.
        DeviceSelector none({}, false, false, {2, 3});
        QVERIFY(entries(none, true).isEmpty());
        QSignalSpy chosen(&none, &DeviceSelector::editingFinished);
        listOf(none)->setCurrentRow(0);
        none.on_selectItem_clicked();
        none.onItemSelected(listOf(none)->item(0));
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(none.chosenType(), DeviceType_t(0));
    }

    void mostDevicesFollowTheBudgets()
    {
        catalogue->templates[pex].preq = 300;
        DeviceSelector selector({pex}, true, false, {3});
        selector.setPowerBudget(1000);
        selector.setBoardLimit(22);
        QCOMPARE(selector.maxCount(pex), 3);
        selector.setBoardLimit(2);
        QCOMPARE(selector.maxCount(pex), 2);

        // No consumption: no power limit, and no division by zero.
        catalogue->templates[pex].preq = 0;
        QCOMPARE(selector.maxCount(pex), 2);

        // A controller counts its I/O boards against the board limit; one without boards only
        // against the address limit.
        selector.setBoardLimit(5);
        QCOMPARE(selector.maxCount(tav), 2);
        catalogue->templates[tav].boardIds.clear();
        QCOMPARE(selector.maxCount(tav), 99);
        QCOMPARE(selector.maxCount(0x7fffffff), 0);
    }

    void hoveringSetsTheCountAndAnnouncesThePreview()
    {
        DeviceTemplate& module = catalogue->templates[pex];
        module.pgen = 0;
        module.preq = 300;
        DeviceSelector selector({pex, tav}, true, false, {2, 3});
        selector.setPowerBudget(1000);
        selector.setSupply(1500);
        selector.setBoardLimit(22);
        auto* box = selector.findChild<QSpinBox*>(QStringLiteral("spinBox"));
        box->setValue(3);
        QSignalSpy entered(&selector, &DeviceSelector::devEntered);
        selector.setPowerBudget(600);
        selector.announce(pex);
        QCOMPARE(box->maximum(), 2);
        QCOMPARE(box->value(), 2);
        QCOMPARE(entered.count(), 1);
        QCOMPARE(entered.at(0).at(2).toInt(), 1500);
        QCOMPARE(entered.at(0).at(3).toInt(), 1500 - 600);
        QCOMPARE(entered.at(0).at(4).toInt(), 2 * 300);

        // The user's number comes back where it fits.
        selector.setPowerBudget(5000);
        selector.announce(pex);
        QCOMPARE(box->value(), 3);

        // A type with its own supply: its generation less its consumption, nothing else.
        DeviceTemplate& controller = catalogue->templates[tav];
        controller.pgen = 2000;
        controller.preq = 400;
        selector.announce(tav);
        QCOMPARE(entered.last().mid(2), QVariantList({1600, 0, 0}));

        // Leaving the list announces its current entry again.
        QListWidget* list = listOf(selector);
        list->setCurrentRow(1);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(list, &leave);
        QCOMPARE(entered.last().at(0).toUInt(), list->item(1)->data(Qt::UserRole).toUInt());
    }

    void theRevisionSwitchRenamesEntriesButKeepsWhichAreEnabled()
    {
        DeviceSelector selector({pex}, false, false, {3});
        selector.show();
        QVERIFY(QTest::qWaitForWindowExposed(&selector));
        const QList<DeviceType_t> enabled = entries(selector, true);
        QListWidget* list = listOf(selector);
        QCOMPARE(list->item(0)->text(), catalogue->modelName(pex, 0));

        auto* revisions = selector.findChild<Switch*>(QStringLiteral("revSelector"));
        const QPoint right(revisions->width() * 3 / 4, revisions->height() / 2);
        QTest::mouseClick(revisions, Qt::LeftButton, Qt::NoModifier, right);
        QCOMPARE(revisions->currentIndex(), 1);
        QCOMPARE(list->item(0)->text(), catalogue->modelName(pex, 4));
        QCOMPARE(entries(selector, true), enabled);

        QSignalSpy chosen(&selector, &DeviceSelector::editingFinished);
        selector.onItemClicked(list->item(0));
        selector.on_selectItem_clicked();
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(selector.chosenType(), pex);
        QCOMPARE(selector.chosenRevision(), HardwareVersion(4));
    }

    void aPressOutsideClosesOnlyAnUntouchedSelector()
    {
        const auto pressOutside = [](QWidget* w) {
            QMouseEvent press(QEvent::MouseButtonPress, QPoint(-5, -5), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w, &press);
        };
        QPointer<DeviceSelector> touched = new DeviceSelector({pex}, false, false, {3});
        touched->announce(pex);
        pressOutside(touched);
        QPointer<DeviceSelector> fresh = new DeviceSelector({pex}, false, false, {3});
        pressOutside(fresh);
        QTRY_VERIFY(fresh.isNull());
        QVERIFY(!touched.isNull());
        delete touched;
    }
};

QTEST_MAIN(DeviceSelectorTest)
#include "tst_deviceselector.moc"
