#pragma once

// Start-up of the widgets: compiles in the pictures of the style source, maps the font families
// the styles name onto installed fonts and keeps the wheel from changing controls the user is not
// in. Call once after the application object exists, before the first widget is built (the
// program's main, the gallery and the widget tests).
void initWidgets();

// The families the styles name ("Segoe UI" and its Light and Semibold faces, "TeXGyreHeros")
// are not shipped; they are mapped onto installed families that hold Latin and Cyrillic alike
// (Open Sans and DejaVu Sans Condensed).
void registerFontSubstitutions();
