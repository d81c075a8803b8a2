#include "pages/widgetaudio.h"

WidgetAudio::WidgetAudio(QWidget *parent)
    : SettingsPage(parent)
{
}
