#pragma once

#include "pages/settingspage.h"

// The 4G tab: the cellular module's identity, state and access point.
class WidgetWnet : public SettingsPage
{
    Q_OBJECT

public:
    explicit WidgetWnet(QWidget *parent = nullptr);
};
