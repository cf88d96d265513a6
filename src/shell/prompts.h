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

    // The program is to end (a termination signal): every box open now but the window close's
    // own closes without a choice, and from then on only the close's own boxes open; any other
    // is answered as closed without a choice and not shown, so that no box keeps the program
    // from ending and nothing a box would start starts. Off again with the window it ended.
    static void setProgramEnding(bool on);
    static bool isProgramEnding();
    // A box that the program's end closed has yet to hand its caller the answer.
    static bool isEndedBoxOpen();

    // Held by the window's close while it runs. Its own boxes are those its code opens itself
    // (the save question, the save dialog, what the close tells), not those of what the event
    // loop runs while it waits.
    class OfTheClose
    {
    public:
        OfTheClose();
        ~OfTheClose();
        OfTheClose(const OfTheClose&) = delete;
        OfTheClose& operator=(const OfTheClose&) = delete;

    private:
        int previous;
    };
};
