#include "shell/writeprogress.h"

#include "widgets/stylesource.h"

#include <QProgressDialog>

WriteProgress::WriteProgress(QObject* parent)
    : QObject(parent)
{
    timer.setInterval(StepMs);
    connect(&timer, &QTimer::timeout, this, &WriteProgress::progressTimeout);
}

WriteProgress::~WriteProgress()
{
    delete m_dialog;
}

void WriteProgress::start(int devices)
{
    stop();
    m_dialog = new QProgressDialog(nullptr, Qt::WindowFlags());
    m_dialog->setLabelText(tr("Запись конфигурации в контроллер"));
    m_dialog->setMinimum(0);
    m_dialog->setMaximum(StepsPerDevice * devices);
    m_dialog->setMinimumDuration(0);
    // The dialog would reset itself to the start at its maximum; closing it is ours to do.
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setCancelButton(nullptr);
    applyProgressDialogStyle(m_dialog);
    m_dialog->setValue(0);
    timer.start();
}

void WriteProgress::stop()
{
    timer.stop();
    if (!m_dialog)
        return;
    m_dialog->setValue(m_dialog->maximum());
    // The answer that follows is a modal box: its event loop would keep a deferred delete, and
    // the dialog on screen behind it, until the user closes the box.
    m_dialog->hide();
    m_dialog->deleteLater();
    m_dialog = nullptr;
}

void WriteProgress::progressTimeout()
{
    if (!m_dialog)
        return;
    const int next = m_dialog->value() + 1;
    m_dialog->setValue(next);
    if (next >= m_dialog->maximum())
        stop();
}

QProgressDialog* WriteProgress::dialog() const
{
    return m_dialog;
}
