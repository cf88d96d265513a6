#include "shell/prompts.h"

#include "shell/qtprompts.h"

#include <QDebug>
#include <QDialog>
#include <QThread>

namespace {

Prompts* installed = nullptr;
bool ending = false;
// The event-loop depth the window's close runs its code at; -1 while no close runs.
int closeLevel = -1;

bool isTheClosesOwn()
{
    return closeLevel >= 0 && QThread::currentThread()->loopLevel() == closeLevel;
}

// What a box that is not to open answers: it was closed without a choice.
class Unshown : public Prompts
{
public:
    int question(const QString&, const QString& text, const QStringList&, int, int) override
    {
        untold(text);
        return -1;
    }
    void information(const QString&, const QString& text) override { untold(text); }
    void warning(const QString&, const QString& text) override { untold(text); }
    QString saveFileName(const QString& caption, const QString&, const QString&,
                         const QString&) override
    {
        untold(caption);
        return QString();
    }
    QString openFileName(const QString& caption, const QString&, const QString&,
                         const QString&) override
    {
        untold(caption);
        return QString();
    }
    int exec(QDialog* dialog) override
    {
        untold(dialog->windowTitle());
        return QDialog::Rejected;
    }

private:
    static void untold(const QString& text)
    {
        qDebug() << "Prompts, not shown as the program ends:" << text;
    }
};

} // namespace

Prompts& Prompts::current()
{
    static QtPrompts qtPrompts;
    static Unshown unshown;
    if (ending && !isTheClosesOwn())
        return unshown;
    return installed ? *installed : qtPrompts;
}

void Prompts::install(Prompts* prompts)
{
    installed = prompts;
}

void Prompts::setProgramEnding(bool on)
{
    ending = on;
    if (on)
        QtPrompts::endOpenBoxes(closeLevel);
}

bool Prompts::isProgramEnding()
{
    return ending;
}

bool Prompts::isEndedBoxOpen()
{
    return QtPrompts::isEndedBoxOpen();
}

Prompts::OfTheClose::OfTheClose()
    : previous(closeLevel)
{
    closeLevel = QThread::currentThread()->loopLevel();
}

Prompts::OfTheClose::~OfTheClose()
{
    closeLevel = previous;
}
