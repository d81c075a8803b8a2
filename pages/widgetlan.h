#pragma once

#include "pages/settingspage.h"

// The Ethernet tab: the printer's wired addresses.
class WidgetLan : public SettingsPage
{
    Q_OBJECT

public:
    explicit WidgetLan(QWidget *parent = nullptr);
};
