#pragma once

#include "pages/settingspage.h"

// The Serial tab: the printer's own serial port.
class WidgetSerial : public SettingsPage
{
    Q_OBJECT

public:
    explicit WidgetSerial(QWidget *parent = nullptr);
};
