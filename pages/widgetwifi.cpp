#include "pages/widgetwifi.h"

WidgetWiFi::WidgetWiFi(QWidget *parent)
    : SettingsPage(parent)
{
}
