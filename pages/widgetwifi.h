#pragma once

#include "pages/settingspage.h"

// The Wi-Fi tab: the printer's wireless addresses and network.
class WidgetWiFi : public SettingsPage
{
    Q_OBJECT

public:
    explicit WidgetWiFi(QWidget *parent = nullptr);
};
