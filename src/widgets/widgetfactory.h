#pragma once

class QIcon;
class QString;
class QVBoxLayout;

// A tool-bar icon from a resource path with one "%1": the path without it is the normal picture,
// with "_off" in its place the picture of the disabled state.
QIcon makeIcon(const QString& pattern);

// A parentless vertical box; the caller installs and owns it.
QVBoxLayout* makeVBoxLayout(int spacing, int margin);
