#pragma once

#include "pages/settingspage.h"

// The Print Settings tab: character sets, darkness, paper and cover behaviour.
class WidgetPrint : public SettingsPage
{
    Q_OBJECT

public:
    explicit WidgetPrint(QWidget *parent = nullptr);
};
