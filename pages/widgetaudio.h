#pragma once

#include "pages/settingspage.h"

// The Audio tab: the printer's voice and beep switches.
class WidgetAudio : public SettingsPage
{
    Q_OBJECT

public:
    explicit WidgetAudio(QWidget *parent = nullptr);
};
