#pragma once

#include <QStringList>

class QWidget;

// The gallery renders every widget and screen in the states a user meets, one PNG file per
// state, named <area>_<widget>_<state>.png. Each area adds its own scenes_<area>.cpp.
namespace Gallery {

using Render = void (*)(const QString& outDir);

struct Registrar
{
    Registrar(const char* area, Render render);
};

// Lays out and polishes the widget (showing it offscreen when it is hidden), grabs it and saves
// outDir/<name>.png. The widget may be changed and saved again; the gallery deletes its window
// once the area's scenes have run.
void save(QWidget* widget, const QString& outDir, const QString& name);

// Every saved scene is also checked for text that does not fit, overlapping widgets and, in an
// English run, Cyrillic text; the defects found so far, one line each, prefixed by the scene name.
void checkEnglish(bool english);
QStringList sceneDefects();

// The scenes' own sample data (group names, titles, captions) in the language being rendered, so
// an English picture reads in English throughout.
QString demo(const char* russian, const char* english);

// Runs the registered areas in name order, each whose name contains filter (all when empty).
// Answers the number of pictures written.
int runAreas(const QString& outDir, const QString& filter);

} // namespace Gallery

#define TAV_GALLERY_SCENES(area) \
    static void area##_scenes(const QString& outDir); \
    static const Gallery::Registrar area##_registrar(#area, area##_scenes); \
    static void area##_scenes(const QString& outDir)
