#pragma once

#include <QByteArray>
#include <QDialog>

class QCheckBox;
class QSlider;
class QSpinBox;

// Dual-color printing: on or off, the standard printing energy and the black ratio, sent as
// ESC/POS setup sequences on the raw print road. Nothing is read back from the printer; the
// page keeps one instance, so the values of the last opening are shown again.
class DialogDualColorSettings : public QDialog
{
    Q_OBJECT

public:
    explicit DialogDualColorSettings(QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // The three sequences Apply sends; energy and ratio go out as 0 while the mode is off.
    static QByteArray commandBytes(bool enabled, int energy, int blackRatio);

    QCheckBox *modeBox() const { return m_mode; }
    QSlider *energySlider() const { return m_energySlider; }
    QSlider *ratioSlider() const { return m_ratioSlider; }
    QSpinBox *energySpinBox() const { return m_energySpin; }

public slots:
    void doApply();
    void onStdPrtEngSliderValueChanged(int value);
    void onStdPrtEngSpinBoxValueChanged(int value);
    void onBlackRatioSliderValueChanged(int value);
    void onBlackRatioSpinBoxValueChanged(int value);

private:
    QCheckBox *m_mode;
    QSlider *m_energySlider;
    QSlider *m_ratioSlider;
    QSpinBox *m_energySpin;
    QSpinBox *m_ratioSpin;
};
