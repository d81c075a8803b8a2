#include "pages/widgetdeviceinformation.h"

#include "protocol/deviceinformation.h"
#include "protocol/hostcmd.h"
#include "protocol/networkinformation.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

WidgetDeviceInformation::WidgetDeviceInformation(QWidget *parent)
    : QWidget(parent)
{
    const QString captions[RowCount] = {
        tr("Model:"),
        tr("SN:"),
        tr("HW Version:"),
        tr("Bootloader Version:"),
        tr("FW Version:"),
        tr("ZOMRA APP Version:"),
        tr("Partner APP Version:"),
        tr("MiniAPP Version:"),
        tr("Font Version:"),
        tr("TTS Version:"),
        tr("Bluetooth MAC Address:"),
        tr("Bluetooth Device Name:"),
    };

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFormAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int row = 0; row < RowCount; ++row) {
        m_labels[row] = new QLabel(captions[row], this);
        // Selectable and copyable, never editable: the printer is the only source.
        m_fields[row] = new QLineEdit(this);
        m_fields[row]->setFrame(false);
        m_fields[row]->setReadOnly(true);
        m_fields[row]->setCursor(Qt::IBeamCursor);
        form->addRow(m_labels[row], m_fields[row]);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
}

void WidgetDeviceInformation::updateBluetoothRows()
{
    const bool visible = g_hostCmd.hasWifi();
    for (Row row : {BluetoothMac, BluetoothName}) {
        m_labels[row]->setVisible(visible);
        m_fields[row]->setVisible(visible);
    }
}

bool WidgetDeviceInformation::showsBluetooth() const
{
    return !m_fields[BluetoothMac]->isHidden();
}

QString WidgetDeviceInformation::text(Row row) const
{
    return m_fields[row]->text();
}

void WidgetDeviceInformation::fill(const DeviceInformation &info)
{
    const QString *texts[] = {&info.model,           &info.serialNumber,   &info.hardwareVersion,
                              &info.bootloaderVersion, &info.firmwareVersion, &info.appVersion,
                              &info.partnerAppVersion, &info.miniAppVersion,  &info.fontVersion,
                              &info.ttsVersion};
    static_assert(sizeof texts / sizeof *texts == BluetoothMac, "one text per row above Bluetooth");
    for (int row = Model; row < BluetoothMac; ++row)
        m_fields[row]->setText(*texts[row]);
}

void WidgetDeviceInformation::fill(const NetworkInformation &info)
{
    m_fields[BluetoothMac]->setText(info.bluetoothMac.toUpper());
    m_fields[BluetoothName]->setText(info.bluetoothName);
}
