#pragma once

#include <QByteArray>
#include <QMainWindow>

class QAction;
class QLabel;
class QPushButton;
class QTabWidget;
class QToolBar;
class WidgetAudio;
class WidgetDeviceInformation;
class WidgetLan;
class WidgetNvImage;
class WidgetPrint;
class WidgetSerial;
class WidgetWiFi;
class WidgetWnet;

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

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    QSize sizeHint() const override;

    QAction *connectAction() const { return m_connectAction; }
    QAction *disconnectAction() const { return m_disconnectAction; }
    QAction *reloadAction() const { return m_reloadAction; }
    QAction *preferencesAction() const { return m_preferencesAction; }
    QTabWidget *tabWidget() const { return m_tabWidget; }
    QLabel *statusLabel() const { return m_statusLabel; }
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

public slots:
    void doConnect();
    void doDisconnect();
    void doReload();
    void doPreferences();
    void onConnected();
    void onDisconnected();
    void handleResponse(QByteArray response);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void sendQueries();
    void fillDeviceInformation(const QByteArray &response);
    void fillNetwork(const QByteArray &response);
    void fillStaticAddresses(const QByteArray &response);
    void fillWnet(const QByteArray &response);

    QAction *m_connectAction;
    QAction *m_disconnectAction;
    QAction *m_reloadAction;
    QAction *m_preferencesAction;
    QToolBar *m_toolBar;
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
    bool m_reconnecting = false;
};

extern MainWindow *g_mainWindow;
