#pragma once

#include "profiles/printersettings.h"

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class DialogProfile;
class Profile;
class ProfileApply;
class QAction;
class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolBar;
class WidgetAudio;
class WidgetDeviceInformation;
class WidgetLan;
class WidgetNvImage;
class WidgetPrint;
class WidgetSerial;
class WidgetWiFi;
class WidgetWnet;
struct FinePrintModeRecord;
struct NetworkInformation;
struct PrintSettingsRecord;
struct WnetInformation;

// The one window: a toolbar to connect, disconnect, reload and open the preferences, and
// the eight tabs the printer's answers fill. It holds no protocol logic: requests come
// from g_hostCmd, bytes travel through g_transceiver, answers are spread by handleResponse.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum Tab { TabDeviceInformation, TabLan, TabWnet, TabWifi, TabSerial, TabAudio, TabNvImage, TabPrint };
    static constexpr int ReloadGuardMs = 100;
    static constexpr int QueryPauseMs = 5;
    // A Reload none of whose answers could be read this long after it is reported (ms).
    static constexpr int AnswerTimeoutMs = 5000;
    // How long the read-back after a profile's settings may take before they count as failed (ms).
    static constexpr int ApplyTimeoutMs = 10000;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    QSize sizeHint() const override;

    QAction *connectAction() const { return m_connectAction; }
    QAction *disconnectAction() const { return m_disconnectAction; }
    QAction *reloadAction() const { return m_reloadAction; }
    QAction *preferencesAction() const { return m_preferencesAction; }
    // The toolbar's Profile button, and the three actions of its menu.
    QAction *profileAction() const { return m_profileAction; }
    QAction *saveProfileAction() const { return m_saveProfileAction; }
    QAction *compareProfileAction() const { return m_compareProfileAction; }
    QAction *applyProfileAction() const { return m_applyProfileAction; }
    // Help > Diagnose...: the diagnosis dialog.
    QAction *diagnoseAction() const { return m_diagnoseAction; }
    QTabWidget *tabWidget() const { return m_tabWidget; }
    QLabel *statusLabel() const { return m_statusLabel; }
    // The last outcome reported (Activity), beside the link state.
    QLabel *activityLabel() const { return m_activityLabel; }
    WidgetDeviceInformation *deviceInformationPage() const { return m_deviceInformation; }
    WidgetLan *lanPage() const { return m_lan; }
    WidgetWnet *wnetPage() const { return m_wnet; }
    WidgetWiFi *wifiPage() const { return m_wifi; }
    WidgetSerial *serialPage() const { return m_serial; }
    WidgetAudio *audioPage() const { return m_audio; }
    WidgetNvImage *nvImagePage() const { return m_nvImage; }
    WidgetPrint *printPage() const { return m_print; }
    // The Save buttons of the six settings pages, in tab order.
    QList<QPushButton *> saveButtons() const;
    // Every page as before the first answer, and nothing known of the printer.
    void clearPages();

    // What the connected printer's answers told; complete once all nine are in.
    const PrinterSettings &printerSettings() const { return m_settings; }
    // Writes the printer's profile; wifiPassword goes in when it is not null.
    bool saveProfile(const QString &fileName, const QString &wifiPassword = QString());
    // Read the file and open the profile dialog on it; an unreadable file gets a message.
    void compareProfile(const QString &fileName);
    void applyProfile(const QString &fileName);
    // Sends what the profile changes and reads the printer back; an open profile dialog shows
    // the outcome. No question asked: the dialog's Apply asks about unsaved edits.
    void applySettings(const Profile &profile);
    // The last profile applied, with each setting's outcome; null before the first.
    const ProfileApply *profileApply() const { return m_apply.get(); }

signals:
    // Every settings answer is in: after a connect, a Reload or an apply's read-back.
    void settingsRead();

public slots:
    void doConnect();
    void doDisconnect();
    void doReload();
    void doPreferences();
    void doSaveProfile();
    void doCompareProfile();
    void doApplyProfile();
    void doDiagnose();
    void onConnected();
    void onDisconnected();
    void onConnectFailed(const QString &message);
    void handleResponse(QByteArray response);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void createActions();
    void createPages();
    void layOut();
    void connectSignals();
    void sendQueries();
    bool hasUnsavedChanges() const;
    void onAnswerTimeout();
    // Clears the pages when the printer just announced is not the one they show; true then.
    bool noteShownPrinter();
    // The actions of a live link, and the tabs and rows the printer's model has.
    void enableForModel();
    void setSaveButtonsEnabled(bool enabled);
    void fillNetwork(const NetworkInformation &info);
    void fillStaticAddresses(const QByteArray &response);
    void fillWnet(const WnetInformation &info);
    void fillPrintSettings(const PrintSettingsRecord &record);
    void fillFinePrintMode(const FinePrintModeRecord &record);
    // The profile actions need a link and every settings answer, and no apply under way.
    void updateProfileActions();
    bool askWifiPassword(QString *password);
    bool readProfile(const QString &fileName, Profile *profile);
    // Whether something went to the printer since its settings were read.
    bool settingsOutdated() const;
    // A Reload that waits for its answers (asking first about unsaved edits); true once all are in.
    bool readSettingsAgain();
    void showProfile(const QString &fileName, bool apply);
    void onApplyRequested();
    // Verifies against the read-back, or fails every sent setting when there is none.
    void finishApply(bool readBack);

    QAction *m_connectAction;
    QAction *m_disconnectAction;
    QAction *m_reloadAction;
    QAction *m_preferencesAction;
    QAction *m_profileAction;
    QAction *m_saveProfileAction;
    QAction *m_compareProfileAction;
    QAction *m_applyProfileAction;
    QAction *m_diagnoseAction;
    QTabWidget *m_tabWidget;
    WidgetDeviceInformation *m_deviceInformation;
    WidgetLan *m_lan;
    WidgetWnet *m_wnet;
    WidgetWiFi *m_wifi;
    WidgetSerial *m_serial;
    WidgetAudio *m_audio;
    WidgetNvImage *m_nvImage;
    WidgetPrint *m_print;
    QLabel *m_statusLabel;
    QLabel *m_activityLabel;
    bool m_reconnecting = false;
    // While the reconnect dialog retries, and until its link is announced: that announcement
    // is of a link that came back by itself, not of one the user asked for.
    bool m_comingBack = false;
    // The serial number of the printer whose values the pages show; empty before the first.
    QString m_shownSerial;
    QTimer *m_answerTimer;
    bool m_answered = false;
    bool m_connected = false;
    PrinterSettings m_settings;
    QPointer<DialogProfile> m_profileDialog;
    std::unique_ptr<ProfileApply> m_apply;
    bool m_applying = false;
    QTimer *m_applyTimer;
};

extern MainWindow *g_mainWindow;
