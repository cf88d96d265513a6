#pragma once

#include <QString>
#include <QStringList>

class QDialog;

// Every modal question, message and file dialog the operations put to the user goes through here,
// so tests can answer them from a script instead of a person. The program uses the Qt dialogs.
class Prompts
{
public:
    virtual ~Prompts() = default;

    // The index in `buttons` of the one the user chose; -1 when the box closed without a choice.
    virtual int question(const QString& title, const QString& text, const QStringList& buttons,
                         int defaultButton, int escapeButton) = 0;
    virtual void information(const QString& title, const QString& text) = 0;
    // A message about something that went wrong and was stopped (a refused save, say).
    virtual void warning(const QString& title, const QString& text) = 0;
    // The chosen file name, with `suffix` added when the user typed none; empty when cancelled.
    virtual QString saveFileName(const QString& caption, const QString& proposed,
                                 const QString& filter, const QString& suffix) = 0;
    virtual QString openFileName(const QString& caption, const QString& directory,
                                 const QString& filter, const QString& suffix) = 0;
    virtual int exec(QDialog* dialog) = 0;

    static Prompts& current();
    // `prompts` answers from now on; nullptr returns to the Qt dialogs. Not owned.
    static void install(Prompts* prompts);
};
