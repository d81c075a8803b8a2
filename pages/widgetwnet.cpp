#include "pages/widgetwnet.h"

WidgetWnet::WidgetWnet(QWidget *parent)
    : SettingsPage(parent)
{
}
