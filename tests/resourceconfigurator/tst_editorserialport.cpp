// The serial-port editor: each widget writes its one field into the port shown, the safe time
// goes to every port, the address belongs to the second port only, and the tabs never name a
// port other than the one edited, and a panel without ports says so.
#include "catalogue/settingsprovider.h"
#include "editorfixture.h"
#include "model/systemmodel.h"
#include "resourceconfigurator/editorserialport.h"
#include "support/isolatedenvironment.h"
#include "widgets/tabbarnowheel.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

using namespace EditorFixture;

namespace {


IoResource::Ptr_t makePort(quint32 baud, quint8 address)
{
    IoResource::Ptr_t port = IoResource::create(ResourceKind::SerialPort, SystemModel::newNodeId());
    setConfig(port, [&](AbstractConfig& c) {
        c.port.baud = baud;
        c.port.parity = 0;
        c.port.sbits = 2;
        c.port.address = address;
        c.port.delay = 10;
    });
    return port;
}

struct Ports
{
    IoResource::Ptr_t com1 = makePort(115200, 1);
    IoResource::Ptr_t com2 = makePort(9600, 7);
    EditorSerialPort editor;
    QSignalSpy changes{&editor, resourceChange};
    Ports()
    {
        editor.setPortsVisible(true);
        editor.setResources({com1, com2});
    }
    template <typename T>
    T* widget(const char* name) const { return editor.findChild<T*>(name); }
    // The one record of the last change, which must hold exactly the port given.
    SerialPortConfig last(const IoResource::Ptr_t& port) const
    {
        const Editor::ResourceConfigs_t map = configsAt(changes, changes.count() - 1);
        return map.size() == 1 && map.contains(port) ? map[port].port : SerialPortConfig{};
    }
};

} // namespace

class EditorSerialPortTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        EditorFixture::initEditorTest();
    }

    // A panel without ports says so instead of standing empty.
    void panelWithoutPortsSaysSo()
    {
        Ports p;
        p.editor.show();
        const auto shownTexts = [&p] {
            QStringList texts;
            for (const QLabel* label : p.editor.findChildren<QLabel*>())
                if (label->isVisible() && !label->text().isEmpty())
                    texts << label->text();
            return texts;
        };
        const QString none = QStringLiteral("Нет последовательных портов");
        QVERIFY(!shownTexts().contains(none));
        p.editor.setPortsVisible(false);
        QCOMPARE(shownTexts(), QStringList{none});
        p.editor.setPortsVisible(true);
        QVERIFY(!shownTexts().contains(none));
    }

    void eachWidgetWritesItsFieldOfTheShownPort()
    {
        Ports p;
        QCOMPARE(p.editor.currentPort(), p.com1);
        QCOMPARE(p.widget<QComboBox>("comboBoxBaudRate")->currentText(), QStringLiteral("115200"));
        QVERIFY(p.widget<QSpinBox>("spinBoxAddress")->isHidden());
        QCOMPARE(p.changes.count(), 0);

        p.editor.portTabs()->setCurrentIndex(1);
        QCOMPARE(p.editor.currentPort(), p.com2);
        QVERIFY(!p.widget<QSpinBox>("spinBoxAddress")->isHidden());
        QCOMPARE(p.widget<QComboBox>("comboBoxBaudRate")->currentText(), QStringLiteral("9600"));
        QCOMPARE(p.changes.count(), 0);

        p.widget<QComboBox>("comboBoxBaudRate")->setCurrentText("38400");
        QCOMPARE(p.last(p.com2).baud, 38400u);
        QCOMPARE(p.last(p.com2).address, quint8(7));
        p.widget<QComboBox>("comboBoxProtocol")->setCurrentText("ASCII");
        QCOMPARE(p.last(p.com2).mode, quint8(1));
        p.widget<QComboBox>("comboBoxProtocol")->setCurrentText("RTU");
        QCOMPARE(p.last(p.com2).mode, quint8(0));
        p.widget<QRadioButton>("radioButtonParityEven")->click();
        QCOMPARE(p.last(p.com2).parity, quint8(2));
        p.widget<QRadioButton>("radioButtonStopBitOne")->click();
        QCOMPARE(p.last(p.com2).sbits, quint8(1));
        // Each click above unchecked a sibling; only the checked button writes.
        QCOMPARE(p.changes.count(), 5);
        p.widget<QSpinBox>("spinBoxAddress")->setValue(42);
        QCOMPARE(p.last(p.com2).address, quint8(42));
        QCOMPARE(p.last(p.com2).baud, 9600u);
    }

    void responseDelayNeverWraps()
    {
        Ports p;
        auto* delay = p.widget<QSpinBox>("spinBoxResponseDelay");
        QCOMPARE(delay->maximum(), 65535);
        delay->setValue(70000);
        QCOMPARE(p.last(p.com1).delay, quint16(65535));
    }

    // Ports that differ show none, and the first one's time typed there reaches both.
    void safeTimeGoesToEveryPort()
    {
        Ports p;
        setConfig(p.com1, [](AbstractConfig& c) { c.port.safeTime = 4500; });
        setConfig(p.com2, [](AbstractConfig& c) { c.port.safeTime = 5000; });
        p.editor.portTabs()->setCurrentIndex(1);
        auto* box = p.widget<QSpinBox>("spinBoxSafeMode");
        QCOMPARE(box->text(), QStringLiteral(" "));
        box->selectAll();
        QTest::keyClicks(box, "4500");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(p.changes.count(), 1);
        const Editor::ResourceConfigs_t map = configsAt(p.changes, 0);
        QCOMPARE(map.size(), 2);
        QCOMPARE(map[p.com1].port.safeTime, 4500u);
        QCOMPARE(map[p.com2].port.safeTime, 4500u);
        QCOMPARE(map[p.com1].port.baud, 115200u);
        QCOMPARE(map[p.com2].port.baud, 9600u);
    }

    void tabsNeverNameAPortNotEdited()
    {
        Ports p;
        p.editor.setResources({p.com1});
        TabBarNoWheel* tabs = p.editor.portTabs();
        QCOMPARE(tabs->count(), 2);
        QVERIFY(!tabs->isTabEnabled(1));
        tabs->setCurrentIndex(1);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(p.editor.currentPort(), p.com1);
        QCOMPARE(p.changes.count(), 0);

        // A list without the current port shows the first; an empty one forgets it and the ports.
        p.editor.setCurrentPort(p.com2);
        p.editor.setResources({p.com1, p.com2});
        QCOMPARE(tabs->currentIndex(), 1);
        p.editor.setResources({p.com1});
        QCOMPARE(p.editor.currentPort(), p.com1);
        p.editor.setResources({});
        QVERIFY(!p.editor.currentPort());
        p.widget<QSpinBox>("spinBoxResponseDelay")->setValue(99);
        p.widget<QSpinBox>("spinBoxSafeMode")->setValue(4500);
        QCOMPARE(p.changes.count(), 0);
    }

    void languageChangeEditsNothing()
    {
        Ports p;
        p.editor.portTabs()->setCurrentIndex(1);
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&p.editor, &change);
        QCOMPARE(p.changes.count(), 0);
        QCOMPARE(p.widget<QComboBox>("comboBoxBaudRate")->currentText(), QStringLiteral("9600"));
        QCOMPARE(p.widget<QComboBox>("comboBoxProtocol")->currentText(), QStringLiteral("RTU"));
    }
};

QTEST_MAIN(EditorSerialPortTest)
#include "tst_editorserialport.moc"
