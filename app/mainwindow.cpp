#include "app/mainwindow.h"

#include "app/activity.h"
#include "app/conf.h"
#include "app/dialogdiagnosis.h"
#include "app/dialogpreferences.h"
#include "app/displaytext.h"
#include "app/globals.h"
#include "app/log.h"
#include "nvimage/widgetnvimage.h"
#include "pages/fieldlimits.h"
#include "pages/widgetaudio.h"
#include "pages/widgetdeviceinformation.h"
#include "pages/widgetlan.h"
#include "pages/widgetserial.h"
#include "pages/widgetwifi.h"
#include "pages/widgetwnet.h"
#include "print/widgetprint.h"
#include "profiles/dialogprofile.h"
#include "profiles/profile.h"
#include "profiles/profileapply.h"
#include "protocol/audiosettingsrecord.h"
#include "protocol/bytefields.h"
#include "protocol/dialogconnect.h"
#include "protocol/deviceinformation.h"
#include "protocol/hostcmd.h"
#include "protocol/fineprintmoderecord.h"
#include "protocol/networkinformation.h"
#include "protocol/printsettingsrecord.h"
#include "protocol/serialsettingsrecord.h"
#include "protocol/staticiprecord.h"
#include "protocol/wnetinformation.h"
#include "transport/dialogreconnect.h"
#include "transport/tcpprinter.h"
#include "transport/transceiver.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>
#include <QToolBar>
#include <QToolButton>

MainWindow *g_mainWindow = nullptr;

namespace {

constexpr const char *Version = "v1.11";
// Pixels left after the last tab title at the window's first width.
constexpr int TabBarAir = 8;
// The profiles' own key for the password, which no printer tells.
const QString WifiPasswordKey = QStringLiteral("wifi.password");

} // namespace

// The icons live in the program's library, which registers them only when asked. Outside
// any namespace, as the macro needs.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    g_mainWindow = this;
    initResources();
    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/images/app.png")));
    createActions();
    createPages();
    m_answerTimer = new QTimer(this);
    m_answerTimer->setSingleShot(true);
    connect(m_answerTimer, &QTimer::timeout, this, &MainWindow::onAnswerTimeout);
    m_applyTimer = new QTimer(this);
    m_applyTimer->setSingleShot(true);
    connect(m_applyTimer, &QTimer::timeout, this, [this] { finishApply(false); });
    layOut();
    connectSignals();
    onDisconnected();
    setWindowTitle(tr("Zomra Cloud Printer Setup %1").arg(QLatin1String(Version)));
}

void MainWindow::createActions()
{
    auto action = [this](const char *icon, const QString &text, const QString &tip) {
        auto *a = new QAction(QIcon(QString::fromLatin1(icon)), text, this);
        a->setStatusTip(tip);
        a->setToolTip(tip);
        return a;
    };
    m_connectAction = action(":/images/connect.png", tr("Connect"), tr("Connect to a printer"));
    m_disconnectAction =
        action(":/images/disconnect.png", tr("Disconnect"), tr("Disconnect from the printer"));
    m_reloadAction =
        action(":/images/update.png", tr("Reload"), tr("Reload settings from the printer"));
    m_preferencesAction = action(":/images/cog.png", tr("Preferences"),
                                 tr("Open the \"Preferences\" dialog"));
    m_saveProfileAction = action(":/images/profile_save.png", tr("Save Profile..."),
                                 tr("Save the printer's settings to a profile file"));
    m_compareProfileAction = action(":/images/profile_compare.png", tr("Compare with Profile..."),
                                    tr("Show how the printer's settings differ from a profile file"));
    m_applyProfileAction = action(":/images/profile_apply.png", tr("Apply Profile..."),
                                  tr("Give the printer the settings of a profile file"));
    // One button for the three keeps the toolbar, and so the window, as narrow as it was.
    m_profileAction = action(":/images/profile.png", tr("Profile"), tr("Save, compare or apply a settings profile"));
    auto *menu = new QMenu(this);
    menu->addActions({m_saveProfileAction, m_compareProfileAction, m_applyProfileAction});
    m_profileAction->setMenu(menu);
    m_diagnoseAction = action("", tr("Diagnose..."), tr("Find out why a printer is not found, and what to do"));
}

void MainWindow::createPages()
{
    m_tabWidget = new QTabWidget(this);
    m_deviceInformation = new WidgetDeviceInformation(this);
    m_lan = new WidgetLan(this);
    m_wnet = new WidgetWnet(this);
    m_wifi = new WidgetWiFi(this);
    m_serial = new WidgetSerial(this);
    m_audio = new WidgetAudio(this);
    m_nvImage = new WidgetNvImage(this);
    m_print = new WidgetPrint(this);
    // Added in the order of Tab, whose values are their indexes.
    m_tabWidget->setTabShape(QTabWidget::Rounded);
    m_tabWidget->addTab(m_deviceInformation, tr("Device Information"));
    m_tabWidget->addTab(m_lan, tr("Ethernet"));
    m_tabWidget->addTab(m_wnet, tr("4G"));
    m_tabWidget->addTab(m_wifi, tr("Wi-Fi"));
    m_tabWidget->addTab(m_serial, tr("Serial"));
    m_tabWidget->addTab(m_audio, tr("Audio"));
    m_tabWidget->addTab(m_nvImage, tr("NV Image"));
    m_tabWidget->addTab(m_print, tr("Print Settings"));
}

void MainWindow::layOut()
{
    auto *toolBar = new QToolBar(this);
    auto *spacer = new QWidget(this);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Preferences sits at the far right, apart from the link actions.
    toolBar->addAction(m_connectAction);
    toolBar->addAction(m_disconnectAction);
    toolBar->addSeparator();
    toolBar->addAction(m_reloadAction);
    toolBar->addAction(m_profileAction);
    if (auto *button = qobject_cast<QToolButton *>(toolBar->widgetForAction(m_profileAction)))
        button->setPopupMode(QToolButton::InstantPopup);
    toolBar->addWidget(spacer);
    toolBar->addAction(m_preferencesAction);
    toolBar->setIconSize(QSize(32, 32));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setMovable(false);
    addToolBar(toolBar);
    toolBar->show();
    menuBar()->addMenu(tr("&Help"))->addAction(m_diagnoseAction);
    setCentralWidget(m_tabWidget);

    m_statusLabel = new QLabel(this);
    m_statusLabel->setMinimumWidth(300);
    m_statusLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    statusBar()->addWidget(m_statusLabel, 0);
    // The outcome of the last action, beside the link state; its tooltip keeps a long one whole.
    m_activityLabel = new QLabel(this);
    m_activityLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_activityLabel->setMinimumWidth(1);
    statusBar()->addWidget(m_activityLabel, 1);
    connect(&Activity::instance(), &Activity::reported, m_activityLabel, [this](const QString &text) {
        m_activityLabel->setText(text);
        m_activityLabel->setToolTip(text);
    });
    statusBar()->show();
}

void MainWindow::connectSignals()
{
    connect(m_connectAction, &QAction::triggered, this, &MainWindow::doConnect);
    connect(m_disconnectAction, &QAction::triggered, this, &MainWindow::doDisconnect);
    connect(m_reloadAction, &QAction::triggered, this, &MainWindow::doReload);
    connect(m_preferencesAction, &QAction::triggered, this, &MainWindow::doPreferences);
    connect(m_saveProfileAction, &QAction::triggered, this, &MainWindow::doSaveProfile);
    connect(m_compareProfileAction, &QAction::triggered, this, &MainWindow::doCompareProfile);
    connect(m_applyProfileAction, &QAction::triggered, this, &MainWindow::doApplyProfile);
    connect(m_diagnoseAction, &QAction::triggered, this, &MainWindow::doDiagnose);
    connect(g_transceiver, &Transceiver::connected, this, &MainWindow::onConnected, Qt::QueuedConnection);
    connect(g_transceiver, &Transceiver::disconnected, this, &MainWindow::onDisconnected,
            Qt::QueuedConnection);
    connect(g_transceiver, &Transceiver::connectFailed, this, &MainWindow::onConnectFailed,
            Qt::QueuedConnection);
    connect(&g_hostCmd, &HostCmd::responseReceived, this, &MainWindow::handleResponse,
            Qt::QueuedConnection);
}

// Out of line: the header knows ProfileApply only by name.
MainWindow::~MainWindow()
{
    g_mainWindow = nullptr;
}

QSize MainWindow::sizeHint() const
{
    // At least as wide as the tab bar wants, in whatever language its titles are, so that all
    // eight show without scroll arrows; a little air after the last one.
    const int tabs = m_tabWidget->tabBar()->sizeHint().width() + TabBarAir;
    return QSize(qMax(640, tabs), 600);
}

QList<QPushButton *> MainWindow::saveButtons() const
{
    return {m_lan->saveButton(),    m_wnet->saveButton(),  m_wifi->saveButton(),
            m_serial->saveButton(), m_audio->saveButton(), m_print->saveButton()};
}

void MainWindow::doConnect()
{
    DialogConnect dialog(this);
    dialog.exec();
}

void MainWindow::doDisconnect()
{
    g_transceiver->close();
}

bool MainWindow::hasUnsavedChanges() const
{
    const QList<QPushButton *> buttons = saveButtons();
    return std::any_of(buttons.begin(), buttons.end(),
                       [](const QPushButton *b) { return b->isEnabled(); });
}

void MainWindow::doReload()
{
    if (hasUnsavedChanges()
        && QMessageBox::question(this, tr("Attention"), tr("Unsaved settings will be lost. Continue?"),
                                 QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    m_reloadAction->setEnabled(false);
    sendQueries();
    startTimer(ReloadGuardMs, Qt::CoarseTimer);
}

void MainWindow::sendQueries()
{
    // Who the printer is comes from the handshake; the answers tell the rest.
    const host_cmd_dev_info_t &device = g_transceiver->device();
    m_settings.project = device.projectText();
    m_settings.model = device.modelText();
    m_settings.serialNumber = device.snText();
    // Complete again only with every answer to these: an apply's check must not take one of before.
    m_settings.answered = 0;
    updateProfileActions();
    // Back to back, a breath apart; the answers come in whatever order the printer likes.
    for (quint16 word = GetDeviceInfo; word <= GetNvImageList; ++word) {
        QThread::msleep(QueryPauseMs);
        g_hostCmd.query(word);
    }
    m_answered = false;
    m_answerTimer->start(AnswerTimeoutMs);
}

namespace {

QString linkText()
{
    return g_transceiver->linkType() == Transceiver::LinkUsb ? QStringLiteral("USB")
                                                            : g_transceiver->address().toString();
}

} // namespace

void MainWindow::onAnswerTimeout()
{
    // The handshake was right, yet nothing since decrypted: not a printer to trust the pages to.
    if (!m_answered && g_transceiver->linkType() != Transceiver::LinkNone) {
        const QString text = tr("Connected (%1), but none of the printer's answers could be read")
                                 .arg(linkText());
        LOG_LINE("%s", qUtf8Printable(text));
        m_statusLabel->setText(text);
    }
}

void MainWindow::timerEvent(QTimerEvent *event)
{
    killTimer(event->timerId());
    m_reloadAction->setEnabled(true);
}

void MainWindow::doPreferences()
{
    DialogPreferences dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.language() == g_conf.language())
        return;
    g_conf.setLanguage(dialog.language());
    g_conf.save();
    QMessageBox::information(this, tr("Information"),
                             tr("Restart the application to apply language changes."));
}

void MainWindow::doDiagnose()
{
    DialogDiagnosis(this).exec();
}

void MainWindow::onConnected()
{
    const bool cameBack = m_comingBack;
    m_comingBack = false;
    const bool otherPrinter = noteShownPrinter();
    m_connected = true;
    enableForModel();
    updateProfileActions();
    // The tool's own restart of the link (a cancelled upload) finds the printer the pages
    // show: they keep their values and unsaved edits, and nothing needs reading again.
    if (g_transceiver->reopened() && !otherPrinter) {
        m_statusLabel->setText(tr("Connected (%1)").arg(linkText()));
        return;
    }
    // A connection the user asked for replaces what the pages hold; edits made while the
    // same printer was away are asked about, as Reload asks.
    if (!cameBack)
        setSaveButtonsEnabled(false);

    const host_cmd_dev_info_t &device = g_transceiver->device();
    if (otherPrinter)
        m_statusLabel->setText(tr("Connected (%1) to another printer: %2, serial number %3")
                                   .arg(linkText(), device.modelText(), device.snText()));
    else
        m_statusLabel->setText(tr("Connected (%1)").arg(linkText()));

    doReload();
}

bool MainWindow::noteShownPrinter()
{
    // The pages must never show one printer's values under another's name.
    const QString serial = g_transceiver->device().snText();
    const bool otherPrinter = !m_shownSerial.isEmpty() && serial != m_shownSerial;
    if (otherPrinter) {
        LOG_LINE("Another printer: %s (the pages showed %s)", qUtf8Printable(serial),
                 qUtf8Printable(m_shownSerial));
        clearPages();
    }
    m_shownSerial = serial;
    return otherPrinter;
}

void MainWindow::enableForModel()
{
    m_connectAction->setEnabled(false);
    m_disconnectAction->setEnabled(true);
    m_reloadAction->setEnabled(true);
    m_tabWidget->setEnabled(true);
    m_tabWidget->setTabEnabled(TabDeviceInformation, true);
    m_deviceInformation->updateBluetoothRows();
    m_tabWidget->setTabEnabled(TabLan, g_hostCmd.hasEthernet());
    m_tabWidget->setTabEnabled(TabWnet, g_hostCmd.has4G());
    m_tabWidget->setTabEnabled(TabWifi, g_hostCmd.hasWifi());
    m_tabWidget->setTabEnabled(TabAudio, true);
    m_print->updateForModel();
}

void MainWindow::setSaveButtonsEnabled(bool enabled)
{
    const QList<QPushButton *> buttons = saveButtons();
    for (QPushButton *button : buttons)
        button->setEnabled(enabled);
}

void MainWindow::onDisconnected()
{
    m_connectAction->setEnabled(true);
    m_disconnectAction->setEnabled(false);
    m_reloadAction->setEnabled(false);
    m_tabWidget->setEnabled(false);
    m_answerTimer->stop();
    m_statusLabel->setText(tr("Not Connected"));
    m_connected = false;
    // Before any reconnect dialog: what was sent and not yet read back is not known to have taken.
    if (m_applying)
        finishApply(false);
    updateProfileActions();

    // A network link lost rather than closed is retried. Failed attempts report
    // connectFailed, which the dialog handles while it is up.
    // The socket test keeps a late report of a link closed earlier from passing for the loss
    // of an attempt that has started since.
    if (g_transceiver->linkType() == Transceiver::LinkTcp && !m_reconnecting
        && g_transceiver->tcpPrinter()->state() == QAbstractSocket::UnconnectedState) {
        m_reconnecting = true;
        // The announcement that ends the dialog may be handled before exec() returns.
        m_comingBack = true;
        DialogReconnect dialog(g_transceiver->address(), this);
        dialog.exec();
        m_reconnecting = false;
        if (g_transceiver->linkType() != Transceiver::LinkTcp)
            m_comingBack = false; // cancelled
    }
}

void MainWindow::onConnectFailed(const QString &message)
{
    if (!m_reconnecting)
        m_statusLabel->setText(message);
}

void MainWindow::clearPages()
{
    m_deviceInformation->fill(DeviceInformation{});
    fillNetwork(NetworkInformation{});
    m_lan->fill(StaticIpRecord{});
    m_wifi->fill(StaticIpRecord{});
    WnetInformation noModule;
    noModule.status = 0xffff; // no state at all, rather than "Disabled"
    m_wnet->fill(noModule);
    m_serial->fill(SerialSettingsRecord{});
    m_audio->fill(AudioSettingsRecord{});
    m_print->setSettings(PrintSettingsRecord{});
    m_print->setFinePrintMode(false);
    m_nvImage->clear();
    g_hostCmd.lastKnown().clear();
    setSaveButtonsEnabled(false);
    m_settings = PrinterSettings{};
    updateProfileActions();
}

namespace {

// Calls fill with the record an answer holds, when it holds one.
template <typename Record, typename Fill>
void decodeAnd(const QByteArray &response, Fill fill)
{
    Record record;
    if (Record::decode(response, &record))
        fill(record);
}

// Sample DHCP addresses for showing the tool; the static ones stay the printer's.
NetworkInformation withDemoAddresses(NetworkInformation info)
{
    info.ethernetDhcpAddress = QStringLiteral("192.168.1.123");
    info.ethernetDhcpNetmask = QStringLiteral("255.255.255.0");
    info.wifiDhcpAddress = QStringLiteral("172.16.5.88");
    info.wifiDhcpNetmask = QStringLiteral("255.255.240.0");
    return info;
}

} // namespace

void MainWindow::handleResponse(QByteArray response)
{
    const quint16 word = ByteFields::u16(response, 0);
    const int minSize = HostCmd::answerMinSize(word);
    // Other words (answers to Set commands, font dialog traffic) are not ours; a short
    // answer is dropped whole rather than half applied.
    if (response.size() < 2 || minSize == 0 || response.size() < minSize)
        return;
    g_hostCmd.lastKnown().takeResponse(response);
    const bool wasComplete = m_settings.isComplete();
    m_settings.takeResponse(response);
    m_answered = true;

    // Each page's fill leaves its Save button off: the page shows the printer's values.
    switch (word) {
    case GetDeviceInfo:
        decodeAnd<DeviceInformation>(response, [this](const auto &r) { m_deviceInformation->fill(r); });
        break;
    case GetNetworkInfo:
        decodeAnd<NetworkInformation>(response, [this](const auto &r) { fillNetwork(r); });
        break;
    case GetPrintSettings:
        decodeAnd<PrintSettingsRecord>(response, [this](const auto &r) { fillPrintSettings(r); });
        break;
    case GetWnetInfo:
        decodeAnd<WnetInformation>(response, [this](const auto &r) { fillWnet(r); });
        break;
    case GetSerialSettings:
        decodeAnd<SerialSettingsRecord>(response, [this](const auto &r) { m_serial->fill(r); });
        break;
    case GetAudioSettings:
        decodeAnd<AudioSettingsRecord>(response, [this](const auto &r) { m_audio->fill(r); });
        break;
    case GetStaticIp:
        fillStaticAddresses(response);
        break;
    case GetFinePrintMode:
        decodeAnd<FinePrintModeRecord>(response, [this](const auto &r) { fillFinePrintMode(r); });
        break;
    case GetNvImageList:
        m_nvImage->setNvImageList(response);
        break;
    default:
        break;
    }
    if (!wasComplete && m_settings.isComplete()) {
        if (m_applying)
            finishApply(true);
        emit settingsRead();
    }
    updateProfileActions();
}

void MainWindow::fillNetwork(const NetworkInformation &info)
{
    const NetworkInformation shown = g_demoMode ? withDemoAddresses(info) : info;
    m_lan->fill(shown);
    m_wifi->fill(shown);
    m_deviceInformation->fill(shown);
}

void MainWindow::fillStaticAddresses(const QByteArray &response)
{
    m_lan->fill(StaticIpRecord::fromBytes(response, StaticIpRecord::EthernetOffset));
    m_wifi->fill(StaticIpRecord::fromBytes(response, StaticIpRecord::WifiOffset));
}

void MainWindow::fillWnet(const WnetInformation &info)
{
    m_wnet->fill(info);
    if (g_demoMode)
        m_wnet->showDemoSamples();
}

void MainWindow::fillPrintSettings(const PrintSettingsRecord &record)
{
    m_print->setSettings(record);
    m_print->updateEnabledStates();
    m_print->saveButton()->setEnabled(false);
}

void MainWindow::fillFinePrintMode(const FinePrintModeRecord &record)
{
    m_print->setFinePrintMode(record.enabled);
    m_print->saveButton()->setEnabled(false);
}

void MainWindow::updateProfileActions()
{
    const bool enabled = m_connected && m_settings.isComplete() && !m_applying;
    for (QAction *action : {m_profileAction, m_saveProfileAction, m_compareProfileAction, m_applyProfileAction})
        action->setEnabled(enabled);
}

void MainWindow::doSaveProfile()
{
    const QString fileName = QFileDialog::getSaveFileName(
        this, tr("Save Profile"), m_settings.serialNumber + QStringLiteral(".json"), tr("Profiles (*.json)"));
    if (fileName.isEmpty())
        return;
    QString password;
    if (g_hostCmd.hasWifi() && !m_settings.wifiSsid.isEmpty() && !askWifiPassword(&password))
        return;
    saveProfile(fileName, password);
}

bool MainWindow::askWifiPassword(QString *password)
{
    // The printer never tells its password: only the user can put it in the profile.
    if (QMessageBox::question(this, tr("Save Profile"),
                              tr("The printer does not tell its Wi-Fi password. Include the password "
                                 "of \"%1\" in the profile? Anyone with the file can read it.")
                                  .arg(m_settings.wifiSsid),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes) {
        *password = QString();
        return true;
    }
    QString text;
    for (;;) {
        bool ok = false;
        text = QInputDialog::getText(this, tr("Save Profile"), tr("Wi-Fi password of \"%1\":").arg(m_settings.wifiSsid),
                                     QLineEdit::Password, text, &ok);
        if (!ok)
            return false;
        const QString problem = FieldLimits::passwordProblem(tr("The Wi-Fi password"), text);
        if (problem.isEmpty())
            break;
        QMessageBox::warning(this, tr("Error"), problem, QMessageBox::Ok);
    }
    // Not null even when empty: an open network's password is included too.
    *password = text.isNull() ? QLatin1String("") : text;
    return true;
}

bool MainWindow::saveProfile(const QString &fileName, const QString &wifiPassword)
{
    // The version as the file names it: without the title's "v".
    const QString tool = QStringLiteral("zomra-cloud-printer-setup %1").arg(QString::fromLatin1(Version).mid(1));
    const QByteArray json = Profile::fromSettings(m_settings, tool, wifiPassword).toJson();
    QSaveFile file(fileName);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(json) == json.size() && file.commit();
    const QString name = DisplayText::elideMiddle(QFileInfo(fileName).fileName());
    if (!written) {
        const QString text = tr("Could not save the profile to %1: %2")
                                 .arg(DisplayText::elideMiddle(QDir::toNativeSeparators(fileName)), file.errorString());
        Activity::report(text);
        QMessageBox::warning(this, tr("Error"), text, QMessageBox::Ok);
        return false;
    }
    Activity::report(tr("Profile of %1 saved to %2").arg(m_settings.serialNumber, name));
    return true;
}

void MainWindow::doCompareProfile()
{
    const QString fileName =
        QFileDialog::getOpenFileName(this, tr("Compare with Profile"), QString(), tr("Profiles (*.json)"));
    if (!fileName.isEmpty())
        compareProfile(fileName);
}

void MainWindow::doApplyProfile()
{
    const QString fileName =
        QFileDialog::getOpenFileName(this, tr("Apply Profile"), QString(), tr("Profiles (*.json)"));
    if (!fileName.isEmpty())
        applyProfile(fileName);
}

void MainWindow::compareProfile(const QString &fileName)
{
    showProfile(fileName, false);
}

void MainWindow::applyProfile(const QString &fileName)
{
    showProfile(fileName, true);
}

bool MainWindow::readProfile(const QString &fileName, Profile *profile)
{
    QString error;
    if (Profile::fromFile(fileName, profile, &error))
        return true;
    QMessageBox::warning(this, tr("Error"),
                         tr("Could not read the profile %1:\n%2")
                             .arg(DisplayText::elideMiddle(QFileInfo(fileName).fileName()), error),
                         QMessageBox::Ok);
    return false;
}

bool MainWindow::settingsOutdated() const
{
    const LastKnownRecords &known = g_hostCmd.lastKnown();
    return known.record(LastKnownRecords::LanStaticIp) != m_settings.lanStaticIp.toBytes(SetLanStaticIp)
        || known.record(LastKnownRecords::WifiStaticIp) != m_settings.wifiStaticIp.toBytes(SetWifiStaticIp)
        || known.record(LastKnownRecords::AudioSettings) != m_settings.audio.toBytes()
        || known.record(LastKnownRecords::PrintSettings) != m_settings.print.toBytes()
        || known.record(LastKnownRecords::FinePrintMode) != m_settings.finePrint.toBytes()
        || known.record(LastKnownRecords::WnetApn) != m_settings.wnetApn.toBytes()
        || known.record(LastKnownRecords::SerialSettings) != m_settings.serial.toBytes()
        || m_wifi->ssid() != m_settings.wifiSsid;
}

bool MainWindow::readSettingsAgain()
{
    if (hasUnsavedChanges()
        && QMessageBox::question(this, tr("Attention"), tr("Unsaved settings will be lost. Continue?"),
                                 QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return false;
    QEventLoop loop;
    connect(this, &MainWindow::settingsRead, &loop, &QEventLoop::quit);
    QTimer::singleShot(AnswerTimeoutMs, &loop, &QEventLoop::quit);
    m_reloadAction->setEnabled(false);
    sendQueries();
    startTimer(ReloadGuardMs, Qt::CoarseTimer);
    loop.exec();
    return m_connected && m_settings.isComplete();
}

void MainWindow::showProfile(const QString &fileName, bool apply)
{
    Profile profile;
    if (!readProfile(fileName, &profile))
        return;
    // A page's Save or a new Wi-Fi network since the last read: the printer is read again, so
    // that what the dialog shows and what an apply leaves out is what it holds now.
    if (settingsOutdated() && !readSettingsAgain())
        return;
    DialogProfile dialog(profile, m_settings, apply ? DialogProfile::Apply : DialogProfile::Compare,
                         DisplayText::elideMiddle(QFileInfo(fileName).fileName()), this);
    connect(&dialog, &DialogProfile::applyRequested, this, &MainWindow::onApplyRequested);
    m_profileDialog = &dialog;
    dialog.exec();
}

void MainWindow::onApplyRequested()
{
    if (!m_profileDialog || m_applying)
        return;
    // The read-back refills the pages, as a Reload does.
    if (hasUnsavedChanges()
        && QMessageBox::question(m_profileDialog, tr("Attention"), tr("Unsaved settings will be lost. Continue?"),
                                 QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    applySettings(m_profileDialog->profile());
}

void MainWindow::applySettings(const Profile &profile)
{
    if (m_applying)
        return;
    m_apply = std::make_unique<ProfileApply>(profile, m_settings, false);
    m_applying = true;
    updateProfileActions();
    if (m_profileDialog)
        m_profileDialog->showApplying();
    if (!m_connected) {
        finishApply(false);
        return;
    }
    // The Save buttons' road, so that the last known records stay those of the printer.
    const PrinterSettings &was = m_settings;
    const PrinterSettings &to = m_apply->target();
    if (was.lanStaticIp.toBytes(SetLanStaticIp) != to.lanStaticIp.toBytes(SetLanStaticIp))
        g_hostCmd.SetLanStaticIp(to.lanStaticIp);
    if (was.wifiStaticIp.toBytes(SetWifiStaticIp) != to.wifiStaticIp.toBytes(SetWifiStaticIp))
        g_hostCmd.SetWifiStaticIp(to.wifiStaticIp);
    if (was.wifiSsid != to.wifiSsid)
        g_hostCmd.SetWifiNetwork(to.wifiSsid, profile.values.value(WifiPasswordKey).toString());
    if (was.audio.toBytes() != to.audio.toBytes())
        g_hostCmd.SetAudioSettings(to.audio);
    if (was.serial.toBytes() != to.serial.toBytes())
        g_hostCmd.SetSerialSettings(to.serial);
    if (was.wnetApn.toBytes() != to.wnetApn.toBytes())
        g_hostCmd.SetWnetApn(to.wnetApn);
    if (was.print.toBytes() != to.print.toBytes())
        g_hostCmd.SetPrintSettings(to.print);
    if (was.finePrint.toBytes() != to.finePrint.toBytes())
        g_hostCmd.SetFinePrintMode(to.finePrint);

    m_reloadAction->setEnabled(false);
    sendQueries();
    startTimer(ReloadGuardMs, Qt::CoarseTimer);
    m_applyTimer->start(ApplyTimeoutMs);
}

void MainWindow::finishApply(bool readBack)
{
    m_applyTimer->stop();
    m_applying = false;
    if (readBack)
        m_apply->verify(m_settings);
    else
        m_apply->failAll();
    Activity::report(tr("Profile on %1: %2").arg(m_settings.serialNumber, m_apply->summary()));
    if (m_profileDialog)
        m_profileDialog->showResults(*m_apply);
    updateProfileActions();
}
