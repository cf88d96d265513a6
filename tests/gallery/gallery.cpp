#include "gallery.h"

#include "layoutcheck.h"

#include <QApplication>
#include <QDir>
#include <QMap>
#include <QPixmap>
#include <QPointer>
#include <QTextStream>
#include <QVector>
#include <QWidget>

namespace Gallery {

namespace {

QMap<QString, Render>& areas()
{
    static QMap<QString, Render> registered;
    return registered;
}

QVector<QPointer<QWidget>>& windowsToDelete()
{
    static QVector<QPointer<QWidget>> windows;
    return windows;
}

QStringList& defectsFound()
{
    static QStringList defects;
    return defects;
}

bool& englishScenes()
{
    static bool english = false;
    return english;
}

int& picturesWritten()
{
    static int count = 0;
    return count;
}

void deleteWindows()
{
    for (const QPointer<QWidget>& window : qAsConst(windowsToDelete()))
        delete window.data();
    windowsToDelete().clear();
}

} // namespace

Registrar::Registrar(const char* area, Render render)
{
    areas().insert(QString::fromLatin1(area), render);
}

void save(QWidget* widget, const QString& outDir, const QString& name)
{
    if (!widget)
        return;
    QWidget* window = widget->window();
    if (!windowsToDelete().contains(window))
        windowsToDelete().append(window);
    if (!window->isVisible())
        window->show();
    window->ensurePolished();
    QApplication::processEvents();
    const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (widget->grab().save(path))
        ++picturesWritten();
    else
        QTextStream(stderr) << "gallery: cannot write " << path << '\n';
    for (const QString& defect : layoutDefects(widget, englishScenes()))
        defectsFound() << name + QLatin1String(": ") + defect;
}

void checkEnglish(bool english)
{
    englishScenes() = english;
}

QString demo(const char* russian, const char* english)
{
    return QString::fromUtf8(englishScenes() ? english : russian);
}

QStringList sceneDefects()
{
    return defectsFound();
}

int runAreas(const QString& outDir, const QString& filter)
{
    for (auto it = areas().cbegin(); it != areas().cend(); ++it) {
        if (!filter.isEmpty() && !it.key().contains(filter))
            continue;
        it.value()(outDir);
        deleteWindows();
    }
    return picturesWritten();
}

} // namespace Gallery
