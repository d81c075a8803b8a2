#include "print/printcontrols.h"

#include <QSlider>
#include <QSpinBox>

namespace PrintControls {

QSlider *slider(QWidget *parent, int min, int max, int step)
{
    auto *s = new QSlider(Qt::Horizontal, parent);
    s->setRange(min, max);
    s->setSingleStep(step);
    s->setPageStep(step);
    s->setTickPosition(QSlider::TicksAbove);
    s->setTickInterval(step);
    return s;
}

QSpinBox *spinBox(QWidget *parent, int min, int max, int step)
{
    auto *s = new QSpinBox(parent);
    s->setRange(min, max);
    s->setSingleStep(step);
    return s;
}

} // namespace PrintControls
