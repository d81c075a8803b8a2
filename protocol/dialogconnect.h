#pragma once

#include "protocol/discoverysearch.h"
#include "protocol/hostcmddevinfo.h"
#include "transport/usbdiagnosis.h"

#include <QDialog>
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

// Finds printers, first on USB (one probe link at a time), then on the network (a UDP
// multicast request every step, answered by each printer with its device record), lists
// them and opens the link to the one the user picks. A USB printer that is there but cannot
// be opened is listed greyed, with the reason and a fix to copy; a network printer outside
// this computer's subnets is marked so. A printer that does not answer
// discovery can be reached by typing its address. Two lines under the table tell how the
// search goes and what became of the last Connect; each has its own label, so a search
// step never hides why a connect failed.
class DialogConnect : public QDialog
{
    Q_OBJECT

public:
    static constexpr int NetworkSteps = 60;
    static constexpr int DefaultStepMs = 500;

    enum EntryType : qint32 { EntryUsb = 1, EntryNetwork = 2 };
    enum Phase { PhaseIdle = 0, PhaseUsb = 1, PhaseNetwork = 2 };

    struct DeviceEntry
    {
        EntryType type;
        QString project;
        QString model;
        QString sn;
        QString address; // USB: the device path; network: the answering host
        bool usable = true; // false: a USB printer that cannot be opened, listed greyed
        QString fix;        // for such a printer: the command that fixes it
        bool otherSubnet = false;
    };

    explicit DialogConnect(QWidget *parent = nullptr);
    ~DialogConnect() override;

    QSize sizeHint() const override;

    // The length of one scan step, for every dialog made afterwards and for the steps a
    // running scan has yet to start. Tests shorten the 30 s network phase with it.
    static void setStepInterval(int milliseconds);
    static int stepInterval();

    // A dotted-quad IPv4 address a printer can have, or a null address.
    static QHostAddress parseAddress(const QString &text);

    Phase phase() const { return m_phase; }
    QTableWidget *table() const { return m_table; }
    QPushButton *scanButton() const { return m_scan; }
    QPushButton *connectButton() const { return m_connect; }
    QPushButton *applyProfileButton() const { return m_applyProfile; }
    QPushButton *diagnoseButton() const { return m_diagnose; }
    QLineEdit *addressEdit() const { return m_addressEdit; }
    // How the search goes: the phase, the time left and the rows found, or how it ended.
    QLabel *searchLabel() const { return m_search; }
    // What became of the last Connect: "Connecting to ...", or why it failed.
    QLabel *statusLabel() const { return m_status; }
    const DeviceEntry *entry(int row) const;

signals:
    void nextDevice();

public slots:
    void doScan();
    void doConnect();
    void doCancel();
    void scanNextDevice();
    void scanFinished();
    void onDeviceFound(host_cmd_dev_info_t devinfo);
    void onPrinterFound(const DiscoverySearch::Found &found);
    void onItemSelectionChanged();
    void onItemDoubleClicked(QTableWidgetItem *item);
    // Asks for a profile file and applies it to the selected network printers.
    void doApplyProfile();
    // Puts the fix for a greyed USB row on the clipboard (the row's context menu).
    void copyFix(int row);
    void doDiagnose();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void addRow(const QString &model, const QString &sn, const QString &connection,
                const QString &status = QString(), const QString &toolTip = QString(), bool usable = true);
    void addUnusableUsbRows();
    void onTableContextMenu(const QPoint &pos);
    void updateConnectButton();
    // The selected rows' network printers, in address order.
    QList<QHostAddress> selectedNetworkPrinters() const;
    void showSearch();
    void onAddressEdited(const QString &text);
    void connectToTypedAddress();
    // The link is opening: the dialog stays until the printer is announced or the attempt fails.
    void waitFor(const QString &where);
    void onAnnounced();
    void onConnectFailed(const QString &message);

    QTableWidget *m_table;
    QPushButton *m_scan;
    QPushButton *m_connect;
    QPushButton *m_applyProfile;
    QPushButton *m_diagnose;
    QPushButton *m_cancel;
    std::vector<std::unique_ptr<DeviceEntry>> m_entries;
    QStringList m_usbPaths;
    QList<UsbDiagnosis::Printer> m_usbChecked;
    DiscoverySearch *m_discovery = nullptr;
    int m_step = 0;
    Phase m_phase = PhaseIdle;
    int m_timerId = 0;
    QLabel *m_search;
    QLabel *m_addressLabel;
    QLineEdit *m_addressEdit;
    QLabel *m_status;
    bool m_waiting = false;
    QString m_discoveredAddress; // the pending Connect's printer, when it answered the search
};
