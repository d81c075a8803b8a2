#include "pages/widgetserial.h"

WidgetSerial::WidgetSerial(QWidget *parent)
    : SettingsPage(parent)
{
}
