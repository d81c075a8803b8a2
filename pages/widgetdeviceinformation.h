#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The Device Information tab: read-only identity and versions of the printer, and its
// Bluetooth address and name on models that have the radio. The values are written by the
// main window's response dispatcher; the page itself only shows them.
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

    QLineEdit *field(Row row) const { return m_fields[row]; }
    // Shows the Bluetooth rows exactly when the connected model has Wi-Fi; hidden rows keep
    // their text.
    void updateBluetoothRows();

private:
    QLabel *m_labels[RowCount];
    QLineEdit *m_fields[RowCount];
};
