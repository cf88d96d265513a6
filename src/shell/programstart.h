#pragma once

#include <QString>
#include <QStringList>

class FileOperations;
class QObject;
class QWidget;

// What the program entry does before and right after the main window exists: the application's
// identity, the command line's switches and the configuration file it names.
class ProgramStart
{
public:
    // Organisation, application name and version; they also place the settings store, and the
    // catalogue decides from the name whether files carry their checksum, so this comes before
    // anything reads either.
    static void setApplicationIdentity();

    // "-dev" anywhere on the command line: the engineering menu.
    static bool engineering(const QStringList& arguments);
    // The last argument when it names a configuration file, else empty.
    static QString commandLineFile(const QStringList& arguments);
    // Opens `path` from the event loop once the window (`context`) has been shown and painted.
    static void openCommandLineFile(QObject* context, FileOperations* files, const QString& path);

    // SIGTERM (the session ending, `kill`), SIGHUP (the terminal gone) and SIGINT (Ctrl+C in
    // it) would end the program where it stands, with a controller's password perhaps set;
    // caught, they end it through its window's close, which lets the work with the controllers
    // end and keeps what they still owe. Call first thing: a signal that comes before the window
    // exists waits for it. A file-size limit's signal is ignored from then on, so the write past
    // the limit fails instead.
    static void catchTerminationSignals();
    // From now on such a signal closes `window`, as the user's close does, once the boxes open
    // then are gone; the close asks its save question and the program ends whatever the answer.
    static void closeOnTerminationSignals(QWidget* window);

private:
    static void closeOnceTheBoxesAreGone(QWidget* window);
};
