#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
struct DeviceInformation;
struct NetworkInformation;

// The Device Information tab: read-only identity and versions of the printer, and its
// Bluetooth address and name on models that have the radio.
class WidgetDeviceInformation : public QWidget
{
    Q_OBJECT

public:
    enum Row {
        Model,
        SerialNumber,
        HardwareVersion,
        BootloaderVersion,
        FirmwareVersion,
        AppVersion,
        PartnerAppVersion,
        MiniAppVersion,
        FontVersion,
        TtsVersion,
        BluetoothMac,
        BluetoothName,
        RowCount
    };

    explicit WidgetDeviceInformation(QWidget *parent = nullptr);

    void fill(const DeviceInformation &info);
    // The Bluetooth rows of an answer to GetNetworkInfo; the MAC shows in capitals.
    void fill(const NetworkInformation &info);
    QString text(Row row) const;
    // Shows the Bluetooth rows exactly when the connected model has Wi-Fi; hidden rows keep
    // their text.
    void updateBluetoothRows();
    bool showsBluetooth() const;

private:
    QLabel *m_labels[RowCount];
    QLineEdit *m_fields[RowCount];
};
