#pragma once

#include <QWidget>

// The NV Image tab: the images held in the printer's non-volatile memory.
class WidgetNvImage : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetNvImage(QWidget *parent = nullptr);
};
