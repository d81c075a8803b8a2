#pragma once

#include "pages/settingspage.h"

#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
struct WnetApnRecord;
struct WnetInformation;

// The 4G tab: the cellular module's identity, network, position, signal and state, the
// access point it is told to use, and a restart that follows the module once a second
// until it is connected again or a minute has passed.
class WidgetWnet : public SettingsPage
{
    Q_OBJECT

public:
    enum Field { Version, Imei, Iccid, Imsi, Mcc, Mnc, Isp, Longitude, Latitude, Rssi, Status, FieldCount };
    static constexpr int ConnectedStatus = 4;
    static constexpr int RestartPolls = 60;
    // A "Connected" within the first polls may still be the state before the restart.
    static constexpr int TrustConnectedBelow = 50;
    static constexpr int RestartPollMs = 1000;

    explicit WidgetWnet(QWidget *parent = nullptr);

    QLineEdit *field(Field f) const { return m_fields[f]; }
    QCheckBox *useApnBox() const { return m_useApn; }
    QLineEdit *apnField() const { return m_apn; }
    QLineEdit *dialNumberField() const { return m_dialNumber; }
    QPushButton *restartButton() const { return m_restart; }
    // The seconds a restart may still take, then how it ended; empty before the first.
    QLabel *restartStateLabel() const { return m_restartState; }
    // Seconds of polling left in a restart; 0 outside one.
    int countdown() const { return m_countdown; }
    // The text for a status code; empty for codes past the table.
    QString statusText(quint16 status) const;

    // Shows an answer to GetWnetInfo, Save left off; a "Connected" in it may end a restart.
    void fill(const WnetInformation &info);
    // Sample values in place of the module's, for showing the tool.
    void showDemoSamples();
    WnetApnRecord apnSettings() const;

    void updateApnFields();
    void noteModuleConnected();
    // One tick of a restart: poll the module, or end the restart when the countdown is
    // out. The timer calls it; tests may call it themselves, with a long interval set.
    void restartTick();
    void setRestartPollInterval(int ms) { m_pollMs = ms; }
    bool restarting() const { return m_pollTimer != 0; }

public slots:
    void doRestart();
    void doSave() override;

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void showCountdown();

    QLineEdit *m_fields[FieldCount];
    QCheckBox *m_useApn;
    QLineEdit *m_apn;
    QLineEdit *m_dialNumber;
    QPushButton *m_restart;
    QLabel *m_restartState;
    QString m_apnCaption;
    QString m_dialNumberCaption;
    QStringList m_statusTexts;
    int m_countdown = 0;
    // A trusted "Connected" ended the restart, rather than the countdown running out.
    bool m_reconnected = false;
    int m_pollTimer = 0;
    int m_pollMs = RestartPollMs;
};
