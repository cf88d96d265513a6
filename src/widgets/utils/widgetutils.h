#pragma once

#include <QFont>

class QPainter;

class QColor;
class QEvent;
class QRect;
class QString;
class QWidget;

// Palette setters: a solid brush of the colour in all colour groups for one role, set on a copy of
// the widget's palette. A null widget is a caller's error: logged, nothing changes.
void setForegroundColor(QWidget* w, const QColor& colour);
void setBackgroundColor(QWidget* w, const QColor& colour);
void setBrightTextColor(QWidget* w, const QColor& colour);

// Font, then the foreground colour, then the BrightText colour.
void applyFontAndColors(QWidget* w, const QColor& foreground, const QColor& brightText,
                        const QFont& font);

// Fonts are always sized in pixels; bold is weight 75, otherwise 50.
QFont makeFont(const QString& family, int pixelSize, bool bold = false);
// The point size of the source becomes the pixel size of the copy.
QFont fontWithPxSize(const QFont& font);

// Both halves are floor(width / 2) wide; for an odd width the middle column is in neither.
QRect leftHalf(const QRect& r);
QRect rightHalf(const QRect& r);

// Hover of the custom-painted buttons: Enter sets the flag, Leave clears it, and either schedules
// a repaint. Other events leave it alone.
void trackHover(QWidget* w, const QEvent* event, bool& hover);

// The keyboard focus of the custom-painted controls: a light blue edge just inside the rectangle,
// the colour the styled controls show it in.
void drawFocusFrame(QPainter& painter, const QRect& rect);
