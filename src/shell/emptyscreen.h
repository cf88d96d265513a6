#pragma once

#include <QLabel>

// The first page of the main window, shown while no configuration is open: how to start one.
class EmptyScreen : public QLabel
{
    Q_OBJECT

public:
    explicit EmptyScreen(QWidget* parent = nullptr);

    // Sets the text in the current language; the window calls it again on a language change.
    void retranslate();
};
