#include "pages/widgetlan.h"

WidgetLan::WidgetLan(QWidget *parent)
    : SettingsPage(parent)
{
}
