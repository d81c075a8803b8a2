#include "nvimage/widgetnvimage.h"

WidgetNvImage::WidgetNvImage(QWidget *parent)
    : QWidget(parent)
{
}
