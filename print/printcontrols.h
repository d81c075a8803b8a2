#pragma once

class QSlider;
class QSpinBox;
class QWidget;

// The slider and spin box pairs of the print settings page and its dialogs: a horizontal
// slider whose every step has a tick, and the spin box beside it with the same range and step.
namespace PrintControls {

QSlider *slider(QWidget *parent, int min, int max, int step);
QSpinBox *spinBox(QWidget *parent, int min, int max, int step);

} // namespace PrintControls
