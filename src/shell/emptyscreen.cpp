#include "shell/emptyscreen.h"

#include "widgets/textstyles.h"

EmptyScreen::EmptyScreen(QWidget* parent)
    : QLabel(parent)
{
    retranslate();
}

void EmptyScreen::retranslate()
{
    applyBlankInfoTextStyle(this);
    setText(tr("● Файл > Новая (Ctrl + N) - Cоздание новой конфигурации.\n"
               "● Файл > Открыть (Ctrl + O) - Работа с существующей конфигурацией."));
    setAutoFillBackground(true);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setIndent(200);
}
