#pragma once

#include "shell/prompts.h"

#include <QDialog>
#include <QQueue>
#include <QStringList>

#include <functional>

// Answers the operations' questions and file dialogs from a script and records what was asked,
// so no test ever waits for a person. Installed for its lifetime.
class ScriptedPrompts : public Prompts
{
public:
    ScriptedPrompts() { Prompts::install(this); }
    ~ScriptedPrompts() override { Prompts::install(nullptr); }

    struct Asked
    {
        QString title;
        QString text;
        QStringList buttons;
        int defaultButton = -1;
        int escapeButton = -1;
        int toldBefore = 0; // messages shown before it
    };

    QQueue<int> answers;          // question: button index, -1 for a box closed otherwise
    QQueue<QString> fileNames;    // file dialogs: empty for a cancelled dialog
    QList<Asked> questions;
    QStringList messages;         // information and warnings alike, in order
    QStringList warnings;
    QStringList dialogCaptions;   // caption, start path and suffix of each file dialog
    QStringList dialogPaths;
    QStringList dialogSuffixes;
    QStringList shownDialogs;                   // window titles of the dialogs run modally
    std::function<void(QDialog*)> whileOpen;    // what happens while such a dialog is open

    int question(const QString& title, const QString& text, const QStringList& buttons,
                 int defaultButton, int escapeButton) override
    {
        questions.append({title, text, buttons, defaultButton, escapeButton, int(messages.size())});
        return answers.isEmpty() ? -1 : answers.dequeue();
    }
    void information(const QString& title, const QString& text) override
    {
        Q_UNUSED(title)
        messages.append(text);
    }
    void warning(const QString& title, const QString& text) override
    {
        Q_UNUSED(title)
        messages.append(text);
        warnings.append(text);
    }
    QString saveFileName(const QString& caption, const QString& proposed, const QString&,
                         const QString& suffix) override
    {
        return fileDialog(caption, proposed, suffix);
    }
    QString openFileName(const QString& caption, const QString& directory, const QString&,
                         const QString& suffix) override
    {
        return fileDialog(caption, directory, suffix);
    }
    int exec(QDialog* dialog) override
    {
        shownDialogs.append(dialog->windowTitle());
        if (whileOpen)
            whileOpen(dialog);
        return QDialog::Accepted;
    }

private:
    QString fileDialog(const QString& caption, const QString& path, const QString& suffix)
    {
        dialogCaptions.append(caption);
        dialogPaths.append(path);
        dialogSuffixes.append(suffix);
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
};
