#pragma once

#include <QObject>
#include <QPointer>

class QTabBar;
class TabBarNoWheel;

// The two tabs with which the user switches between the resources page and the system page. The
// one bar moves onto whichever page is shown; each tab can be locked on its own (the resources
// page while the system is empty, the system page while monitoring).
class SystemOperation : public QObject
{
    Q_OBJECT

public:
    explicit SystemOperation(QObject* parent = nullptr);
    // The page holding the bar owns it; a bar never placed on a page goes with this object.
    ~SystemOperation() override;

    void createTabBar();
    void retranslate();

    bool isSystemTabCurrent() const;
    bool isResourcesTabCurrent() const;
    QTabBar* tabBar() const;

signals:
    void editSystem();
    void editResources();

public slots:
    void setSystemEditable(bool editable);
    void setResourceEditable(bool editable);
    void goEditSystem();
    void goEditResources();
    void tabChanged(int index);

private:
    // Hidden on the empty screen; any tab operation brings it back once a page holds it.
    void showOnPage();

    int m_systemTab = -1;
    int m_resourcesTab = -1;
    QPointer<TabBarNoWheel> m_tabBar;
};
