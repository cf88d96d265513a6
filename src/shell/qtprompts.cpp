#include "shell/qtprompts.h"

#include "catalogue/settingsprovider.h"
#include "widgets/stylesource.h"
#include "widgets/sysinfowidget.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTreeView>
#include <QVariant>

#include <algorithm>
#include <memory>

namespace {

const char* const kAnswer = "promptAnswer";

// A box wraps its text only between words: a path is one word to it, and a long one ran off the
// box's edge. A path may break after each "/", and any word this long may break every so many
// characters, so the whole of it shows.
constexpr int kLongestUnbroken = 24;
const QChar kBreak(0x200B);
// A path on a line of its own shows whole up to this length: the box widens for it. Inside a
// sentence, or longer than a box may grow, it breaks as any long word does.
constexpr int kLongestWholePath = 72;

bool isWholePath(const QString& line)
{
    const int start = line.startsWith(QLatin1Char('"')) ? 1 : 0;
    return line.size() <= kLongestWholePath && line.midRef(start).startsWith(QLatin1Char('/'));
}

QString breakable(const QString& line)
{
    QString out;
    out.reserve(line.size() + line.size() / kLongestUnbroken + 8);
    int run = 0;
    for (const QChar c : line) {
        const bool low = c.isLowSurrogate();
        if (run >= kLongestUnbroken && !low && !c.isSpace()) {
            out += kBreak;
            run = 0;
        }
        out += c;
        if (c.isSpace()) {
            run = 0;
        } else if (c == QLatin1Char('/')) {
            out += kBreak;
            run = 0;
        } else if (!c.isHighSurrogate()) {
            ++run;
        }
    }
    return out;
}

// No break at a space, nor after a hyphen: a no-break space after one still allows it there.
QString unbreakable(QString text)
{
    return text.replace(QLatin1Char(' '), QChar(QChar::Nbsp))
        .replace(QLatin1Char('-'), QStringLiteral("-\u2060"));
}

// A controller is named by its model and serial number; broken anywhere between them, its name
// read as two things. The box keeps it on one line, as the badge shows the serial number.
QString keepControllersWhole(QString line)
{
    static const QString serial = SysInfoWidget::serialNumberText(0).chopped(7);
    if (!line.contains(serial))
        return line;
    if (const SettingsProvider* catalogue = SettingsProvider::loaded()) {
        for (auto it = catalogue->templates.cbegin(); it != catalogue->templates.cend(); ++it) {
            const QString named = catalogue->modelName(it.key(), -1) + QLatin1Char(' ') + serial;
            line.replace(named, unbreakable(named));
        }
    }
    // A controller of a model the catalogue does not know is named by its serial number alone.
    return line.replace(serial, unbreakable(serial));
}

struct OpenBox
{
    QPointer<QDialog> box;
    // The event-loop depth of the code that opened it.
    int level;
    bool ended;
};

// Innermost last.
QList<OpenBox> openBoxes;

} // namespace

QString QtPrompts::wrappable(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (isWholePath(line))
            line.replace(QLatin1Char(' '), QChar(QChar::Nbsp))
                .replace(QLatin1Char('/'), QStringLiteral("/\u2060"));
        else
            line = breakable(keepControllersWhole(line));
    }
    return lines.join(QLatin1Char('\n'));
}

int QtPrompts::question(const QString& title, const QString& text, const QStringList& buttons,
                        int defaultButton, int escapeButton)
{
    const std::unique_ptr<QMessageBox> box(
        makeQuestionBox(title, text, buttons, defaultButton, escapeButton));
    run(box.get());
    const QAbstractButton* clicked = box->clickedButton();
    return clicked ? clicked->property(kAnswer).toInt() : -1;
}

QMessageBox* QtPrompts::makeQuestionBox(const QString& title, const QString& text,
                                        const QStringList& buttons, int defaultButton,
                                        int escapeButton)
{
    auto* box = new QMessageBox(QMessageBox::Question, title, wrappable(text));
    applyDialogStyle(box);
    for (int i = 0; i < buttons.size(); ++i) {
        // One role for all keeps the buttons in the order given on every platform.
        QPushButton* button = box->addButton(buttons.at(i), QMessageBox::ActionRole);
        button->setProperty(kAnswer, i);
        if (i == defaultButton)
            box->setDefaultButton(button);
        if (i == escapeButton)
            box->setEscapeButton(button);
    }
    fitButtons(box);
    return box;
}

QMessageBox* QtPrompts::makeMessageBox(int icon, const QString& title, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Icon(icon), title, wrappable(text), QMessageBox::Ok);
    applyDialogStyle(box);
    fitButtons(box);
    return box;
}

void QtPrompts::fitButtons(QMessageBox* box)
{
    for (QAbstractButton* button : box->buttons())
        button->setMinimumWidth(button->sizeHint().width());
}

void QtPrompts::information(const QString& title, const QString& text)
{
    const std::unique_ptr<QMessageBox> box(makeMessageBox(QMessageBox::Information, title, text));
    run(box.get());
}

void QtPrompts::warning(const QString& title, const QString& text)
{
    const std::unique_ptr<QMessageBox> box(makeMessageBox(QMessageBox::Warning, title, text));
    run(box.get());
}

QString QtPrompts::saveFileName(const QString& caption, const QString& proposed,
                                const QString& filter, const QString& suffix)
{
    return runFileDialog(caption, proposed, filter, suffix, true);
}

QString QtPrompts::openFileName(const QString& caption, const QString& directory,
                                const QString& filter, const QString& suffix)
{
    return runFileDialog(caption, directory, filter, suffix, false);
}

QFileDialog* QtPrompts::makeFileDialog(const QString& caption, const QString& path,
                                       const QString& filter, const QString& suffix, bool saving)
{
    auto* dialog = new QFileDialog(nullptr, caption, path, filter);
    // A desktop's own dialog would speak the desktop's language in the desktop's colours, and the
    // window's language and look would stop at its edge.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    applyDialogStyle(dialog);
    dialog->setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Linux file dialogs add no extension of their own: without a default suffix "plant" would be
    // saved as it stands and every later save would ask for a name again.
    dialog->setDefaultSuffix(suffix);
    // Qt sizes the size, type and date columns for short English texts, and cut a Russian type or
    // a date with its year short: they take their texts' width, the name the rest.
    if (auto* details = dialog->findChild<QTreeView*>()) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    // Qt gives the side bar the width it kept from the last file dialog, whatever its language:
    // after an English one the Russian places were cut. It takes at least what its places need.
    if (auto* places = dialog->findChild<QListView*>(QStringLiteral("sidebar"))) {
        dialog->ensurePolished();
        places->setMinimumWidth(places->sizeHintForColumn(0) + 2 * places->frameWidth());
    }
    return dialog;
}

QString QtPrompts::runFileDialog(const QString& caption, const QString& path, const QString& filter,
                                 const QString& suffix, bool saving)
{
    const std::unique_ptr<QFileDialog> dialog(makeFileDialog(caption, path, filter, suffix, saving));
    if (run(dialog.get()) != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return QString();
    return dialog->selectedFiles().constFirst();
}

int QtPrompts::exec(QDialog* dialog)
{
    return run(dialog);
}

int QtPrompts::run(QDialog* box)
{
    openBoxes.append({box, QThread::currentThread()->loopLevel(), false});
    const int result = box->exec();
    for (int i = openBoxes.size() - 1; i >= 0; --i) {
        if (openBoxes.at(i).box == box) {
            // Whatever the box's last state, the program's end closed it without a choice.
            if (openBoxes.takeAt(i).ended)
                return QDialog::Rejected;
            break;
        }
    }
    return result;
}

void QtPrompts::endOpenBoxes(int keptLevel)
{
    // Innermost first: each returns to its caller as soon as the event loop comes back to it.
    for (int i = openBoxes.size() - 1; i >= 0; --i) {
        OpenBox& open = openBoxes[i];
        if (open.level == keptLevel || open.ended || !open.box)
            continue;
        open.ended = true;
        open.box->reject();
    }
}

bool QtPrompts::isEndedBoxOpen()
{
    return std::any_of(openBoxes.cbegin(), openBoxes.cend(),
                       [](const OpenBox& open) { return open.ended; });
}
