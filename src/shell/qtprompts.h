#pragma once

#include "shell/prompts.h"

class QDialog;
class QFileDialog;
class QMessageBox;

// The prompts of the running program: parentless Qt message boxes and file dialogs.
class QtPrompts : public Prompts
{
public:
    int question(const QString& title, const QString& text, const QStringList& buttons,
                 int defaultButton, int escapeButton) override;
    void information(const QString& title, const QString& text) override;
    void warning(const QString& title, const QString& text) override;
    QString saveFileName(const QString& caption, const QString& proposed, const QString& filter,
                         const QString& suffix) override;
    QString openFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& suffix) override;
    int exec(QDialog* dialog) override;

    // The question box as `question` shows it; the caller owns it.
    static QMessageBox* makeQuestionBox(const QString& title, const QString& text,
                                        const QStringList& buttons, int defaultButton,
                                        int escapeButton);
    // The message box as `information` (Information) and `warning` (Warning) show it, with one
    // OK button; the caller owns it.
    static QMessageBox* makeMessageBox(int icon, const QString& title, const QString& text);
    // The file dialog as `saveFileName` (saving) and `openFileName` show it; the caller owns it.
    static QFileDialog* makeFileDialog(const QString& caption, const QString& path,
                                       const QString& filter, const QString& suffix, bool saving);
    // `text` with room to break inside paths and other long words, invisible where no break comes;
    // a path on a line of its own stays whole.
    static QString wrappable(const QString& text);

    // Closes without a choice every box open now but those opened at the event-loop depth
    // `keptLevel`.
    static void endOpenBoxes(int keptLevel);
    // A box that endOpenBoxes closed is still on its caller's stack.
    static bool isEndedBoxOpen();

private:
    // Every box runs through here, so the program's end finds all that are open.
    static int run(QDialog* box);
    // A short text leaves the box no wider than the text; the buttons' own widths are kept.
    static void fitButtons(QMessageBox* box);
    static QString runFileDialog(const QString& caption, const QString& path,
                                 const QString& filter, const QString& suffix, bool saving);
};
