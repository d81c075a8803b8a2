#include "print/widgetprint.h"

WidgetPrint::WidgetPrint(QWidget *parent)
    : SettingsPage(parent)
{
}
