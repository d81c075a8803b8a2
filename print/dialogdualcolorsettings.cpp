#include "print/dialogdualcolorsettings.h"

#include "pages/tcprawprint.h"
#include "print/printcontrols.h"
#include "protocol/bytefields.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// GS ( E with a one- or two-byte parameter.
QByteArray setupCommand(char function, const QByteArray &parameter)
{
    return QByteArray::fromHex("1d2845") + char(parameter.size() + 1) + '\0' + function + parameter;
}

} // namespace

DialogDualColorSettings::DialogDualColorSettings(QWidget *parent)
    : QDialog(parent)
    , m_mode(new QCheckBox(tr("Dual-Color Mode Enabled"), this))
    , m_energySlider(PrintControls::slider(this, 500, 3000, 10))
    , m_ratioSlider(PrintControls::slider(this, 32, 512, 1))
    , m_energySpin(PrintControls::spinBox(this, 500, 3000, 10))
    , m_ratioSpin(PrintControls::spinBox(this, 32, 512, 1))
{
    m_energySlider->setValue(1800);
    m_energySpin->setValue(1800);
    m_ratioSlider->setValue(192);
    m_ratioSpin->setValue(192);
    setWindowTitle(tr("Dual-Color Settings"));
    setWindowIcon(QIcon(QStringLiteral(":/images/cog.png")));

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Standard Printing Energy:"), this), 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_energySlider, 0, 1);
    grid->addWidget(m_energySpin, 0, 2);
    grid->addWidget(new QLabel(tr("Black Ratio:"), this), 1, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_ratioSlider, 1, 1);
    grid->addWidget(m_ratioSpin, 1, 2);
    auto *apply = new QPushButton(tr("Apply"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_mode);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(apply, &QPushButton::clicked, this, &DialogDualColorSettings::doApply);
    connect(m_energySlider, &QSlider::sliderMoved, this, &DialogDualColorSettings::onStdPrtEngSliderValueChanged);
    connect(m_energySlider, &QSlider::valueChanged, this, &DialogDualColorSettings::onStdPrtEngSliderValueChanged);
    connect(m_energySpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &DialogDualColorSettings::onStdPrtEngSpinBoxValueChanged);
    connect(m_ratioSlider, &QSlider::sliderMoved, this, &DialogDualColorSettings::onBlackRatioSliderValueChanged);
    connect(m_ratioSlider, &QSlider::valueChanged, this, &DialogDualColorSettings::onBlackRatioSliderValueChanged);
    connect(m_ratioSpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &DialogDualColorSettings::onBlackRatioSpinBoxValueChanged);
}

QSize DialogDualColorSettings::sizeHint() const
{
    return QSize(640, 5);
}

QByteArray DialogDualColorSettings::commandBytes(bool enabled, int energy, int blackRatio)
{
    QByteArray energyBytes(2, '\0');
    QByteArray ratioBytes(2, '\0');
    ByteFields::putU16(energyBytes, 0, quint16(enabled ? energy : 0));
    ByteFields::putU16(ratioBytes, 0, quint16(enabled ? blackRatio : 0));
    return setupCommand(0x0b, QByteArray(1, enabled ? '\1' : '\0')) + setupCommand(0x0c, energyBytes)
           + setupCommand(0x0d, ratioBytes);
}

void DialogDualColorSettings::doApply()
{
    // The dialog closes at once; a failure is told over the page that stays.
    QWidget *over = parentWidget() ? parentWidget() : this;
    rawPrint(commandBytes(m_mode->isChecked(), m_energySpin->value(), m_ratioSpin->value()),
             tr("Dual-color settings"), over, [over](bool sent, const QString &outcome) {
                 if (!sent)
                     QTimer::singleShot(0, over, [over, outcome] { QMessageBox::warning(over, tr("Error"), outcome); });
             });
    accept();
}

// Each pair echoes the other; an unchanged value raises no signal, which ends the echo.
void DialogDualColorSettings::onStdPrtEngSliderValueChanged(int value)
{
    m_energySpin->setValue(value);
}

void DialogDualColorSettings::onStdPrtEngSpinBoxValueChanged(int value)
{
    m_energySlider->setValue(value);
}

void DialogDualColorSettings::onBlackRatioSliderValueChanged(int value)
{
    m_ratioSpin->setValue(value);
}

void DialogDualColorSettings::onBlackRatioSpinBoxValueChanged(int value)
{
    m_ratioSlider->setValue(value);
}
