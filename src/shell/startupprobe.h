#pragma once

#include <QObject>

class QWidget;

// Test hook of the program entry: with TAVCFG_QUIT_AFTER_START set in the environment the program
// writes "first paint" to its standard output when the main window has painted for the first
// time, and quits from the event loop right after the configuration file named on the command
// line has been opened. Process-level tests and the start-up bench run the real program this way;
// without the variable nothing is installed.
class StartupProbe : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* Variable = "TAVCFG_QUIT_AFTER_START";

    // Call after the command-line file's opening has been armed.
    static void armFromEnvironment(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
    bool m_painted = false;
};
