#include "protocol/dialogconnect.h"

#include "app/conf.h"
#include "app/dialogdiagnosis.h"
#include "app/globals.h"
#include "app/log.h"
#include "pages/ipv4validator.h"
#include "profiles/dialogrollout.h"
#include "protocol/discoveryanswer.h"
#include "protocol/hostcmd.h"
#include "protocol/wireconstants.h"
#include "transport/transceiver.h"
#include "transport/usbprinter.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimerEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

int s_stepMs = DialogConnect::DefaultStepMs;

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

DialogConnect::DialogConnect(QWidget *parent)
    : QDialog(parent)
    , m_table(new QTableWidget(0, 4, this))
    , m_scan(new QPushButton(tr("&Scan"), this))
    , m_connect(new QPushButton(tr("&Connect"), this))
    , m_applyProfile(new QPushButton(tr("Apply &Profile..."), this))
    , m_diagnose(new QPushButton(tr("&Diagnose..."), this))
    , m_cancel(new QPushButton(tr("C&ancel"), this))
    , m_search(new QLabel(this))
    , m_addressLabel(new QLabel(tr("Address:"), this))
    , m_addressEdit(new QLineEdit(this))
    , m_status(new QLabel(this))
{
    m_search->setWordWrap(true);
    m_status->setWordWrap(true);
    m_table->setHorizontalHeaderLabels({tr("Model"), tr("SN"), tr("Connection Type"), tr("Status")});
    // The status column takes the rest and wraps: a reason is a sentence.
    m_table->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    // The titles whole before the first row comes; each row widens the columns again.
    m_table->resizeColumnsToContents();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows for a roll-out; Connect takes the current one.
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_addressEdit->setPlaceholderText(tr("IPv4 address of a printer"));
    m_addressLabel->setBuddy(m_addressEdit);
    Ipv4Validator::install(m_addressEdit);
    m_applyProfile->setEnabled(false);
    m_applyProfile->setToolTip(tr("Applies a settings profile to the selected network printers, several at "
                                  "a time. USB printers cannot take part."));

    auto *address = new QHBoxLayout;
    address->addWidget(m_addressLabel, 0, Qt::AlignVCenter);
    address->addWidget(m_addressEdit, 1, Qt::AlignVCenter);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_scan, 0, Qt::AlignLeft | Qt::AlignVCenter);
    buttons->addWidget(m_diagnose, 0, Qt::AlignLeft | Qt::AlignVCenter);
    buttons->addStretch();
    buttons->addWidget(m_applyProfile, 0, Qt::AlignRight | Qt::AlignVCenter);
    buttons->addWidget(m_connect, 0, Qt::AlignRight | Qt::AlignVCenter);
    buttons->addWidget(m_cancel, 0, Qt::AlignRight | Qt::AlignVCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_search);
    layout->addLayout(address);
    layout->addWidget(m_status);
    layout->addLayout(buttons);

    setTabOrder(m_table, m_addressEdit);
    setTabOrder(m_addressEdit, m_scan);
    setTabOrder(m_scan, m_diagnose);
    setTabOrder(m_diagnose, m_applyProfile);
    setTabOrder(m_applyProfile, m_connect);
    setTabOrder(m_connect, m_cancel);
    // Return in the address field connects.
    m_connect->setDefault(true);

    connect(m_scan, &QPushButton::clicked, this, &DialogConnect::doScan);
    connect(m_connect, &QPushButton::clicked, this, &DialogConnect::doConnect);
    connect(m_applyProfile, &QPushButton::clicked, this, &DialogConnect::doApplyProfile);
    connect(m_diagnose, &QPushButton::clicked, this, &DialogConnect::doDiagnose);
    connect(m_cancel, &QPushButton::clicked, this, &DialogConnect::doCancel);
    // Queued, so every step starts from a fresh pass of the event loop.
    connect(this, &DialogConnect::nextDevice, this, &DialogConnect::scanNextDevice,
            Qt::QueuedConnection);
    // A USB link reads on its own thread: this arrives queued.
    connect(&g_hostCmd, &HostCmd::deviceFound, this, &DialogConnect::onDeviceFound);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &DialogConnect::onItemSelectionChanged);
    connect(m_table, &QTableWidget::itemDoubleClicked, this, &DialogConnect::onItemDoubleClicked);
    connect(m_table, &QTableWidget::customContextMenuRequested, this, &DialogConnect::onTableContextMenu);
    connect(m_addressEdit, &QLineEdit::textEdited, this, &DialogConnect::onAddressEdited);
    connect(g_transceiver, &Transceiver::connected, this, &DialogConnect::onAnnounced);
    connect(g_transceiver, &Transceiver::connectFailed, this, &DialogConnect::onConnectFailed);

    m_discovery = new DiscoverySearch(this);
    connect(m_discovery, &DiscoverySearch::printerFound, this, &DialogConnect::onPrinterFound);
    doScan();

    setWindowIcon(QIcon(QStringLiteral(":/images/connect.png")));
    setWindowTitle(tr("Connect to Printer"));
    // The wrapping lines give the layout a height for each width, which a first show would
    // take in place of the size the dialog opens at.
    resize(sizeHint());
}

// The timer and socket go with the dialog; a probe link stays as it is.
DialogConnect::~DialogConnect() = default;

QSize DialogConnect::sizeHint() const
{
    return QSize(400, 400);
}

void DialogConnect::setStepInterval(int milliseconds)
{
    s_stepMs = qMax(1, milliseconds);
}

int DialogConnect::stepInterval()
{
    return s_stepMs;
}

QHostAddress DialogConnect::parseAddress(const QString &text)
{
    // Strict dotted quad: QHostAddress alone also takes "10.1" and octal-looking octets.
    static const QRegularExpression quad(QStringLiteral(
        "^(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})$"));
    const QRegularExpressionMatch match = quad.match(text.trimmed());
    if (!match.hasMatch())
        return QHostAddress();
    quint32 value = 0;
    for (int i = 1; i <= 4; ++i) {
        const uint octet = match.captured(i).toUInt();
        if (octet > 255)
            return QHostAddress();
        value = (value << 8) | octet;
    }
    // Neither "this host", nor multicast, reserved or broadcast: no printer has those.
    if (value == 0 || (value >> 28) >= 0xE)
        return QHostAddress();
    return QHostAddress(value);
}

const DialogConnect::DeviceEntry *DialogConnect::entry(int row) const
{
    if (row < 0 || row >= int(m_entries.size()))
        return nullptr;
    return m_entries[size_t(row)].get();
}

void DialogConnect::doScan()
{
    // A new scan probes USB, which needs the link: a pending Connect is given up.
    if (m_waiting) {
        g_transceiver->close();
        m_waiting = false;
    }
    m_status->clear();
    m_scan->setEnabled(false);
    m_connect->setEnabled(false);
    m_diagnose->setEnabled(false);
    for (int row = m_table->rowCount() - 1; row >= 0; --row)
        m_table->removeRow(row);
    m_entries.clear();
    m_usbPaths = UsbPrinter::enumeratePrinters();
    m_usbChecked = UsbDiagnosis::check(g_conf.usbIds());
    m_step = 0;
    m_phase = PhaseUsb;
    m_discovery->restart();
    showSearch();
    emit nextDevice();
}

void DialogConnect::scanNextDevice()
{
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
    switch (m_phase) {
    case PhaseUsb:
        g_transceiver->close();
        if (m_step < m_usbPaths.size()) {
            const QString path = m_usbPaths.at(m_step++);
            if (g_transceiver->openUsb(path, true))
                m_timerId = startTimer(s_stepMs, Qt::CoarseTimer); // time for the answer
            else
                emit nextDevice();
            return;
        }
        addUnusableUsbRows();
        m_step = 0;
        m_phase = PhaseNetwork;
        updateConnectButton();
        emit nextDevice();
        return;
    case PhaseNetwork:
        if (++m_step > NetworkSteps) {
            scanFinished();
            return;
        }
        m_discovery->sendRequest();
        showSearch();
        m_timerId = startTimer(s_stepMs, Qt::CoarseTimer);
        return;
    default:
        return;
    }
}

void DialogConnect::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timerId || m_timerId == 0) {
        QDialog::timerEvent(event);
        return;
    }
    killTimer(m_timerId);
    m_timerId = 0;
    emit nextDevice();
}

void DialogConnect::onDeviceFound(host_cmd_dev_info_t devinfo)
{
    // Only a probe's answer is a USB printer found; a record arriving otherwise (a late
    // answer after its link closed, or another link's) has no path to list.
    if (m_phase != PhaseUsb || g_transceiver->linkType() != Transceiver::LinkUsb)
        return;
    const QString sn = devinfo.snText();
    for (const auto &e : m_entries) {
        if (e->type == EntryUsb && e->sn == sn)
            return; // the same printer on a second path; the step timer moves on
    }
    m_entries.push_back(std::make_unique<DeviceEntry>(DeviceEntry{
        EntryUsb, devinfo.projectText(), devinfo.modelText(), sn,
        g_transceiver->usbPrinter()->interfaceName(), true, QString(), false}));
    addRow(devinfo.modelText(), sn, QStringLiteral("USB"));
    emit nextDevice();
}

void DialogConnect::addUnusableUsbRows()
{
    for (const UsbDiagnosis::Printer &p : qAsConst(m_usbChecked)) {
        if (p.state == UsbDiagnosis::State::Usable)
            continue;
        const QString where = p.node.isEmpty() ? p.device : p.node;
        m_entries.push_back(std::make_unique<DeviceEntry>(
            DeviceEntry{EntryUsb, QString(), QString(), QString(), where, false, p.fix(), false}));
        const QString id = UsbDiagnosis::idText(p.vendor, p.product);
        QString toolTip = p.reason();
        if (!p.fix().isEmpty())
            toolTip += QLatin1Char('\n') + tr("Right-click the row to copy the fix: %1").arg(p.fix());
        addRow(tr("USB printer %1").arg(id), QString(), QStringLiteral("USB (%1)").arg(where), p.reason(), toolTip,
               false);
    }
}

void DialogConnect::onPrinterFound(const DiscoverySearch::Found &found)
{
    const QString address = found.address.toString();
    m_entries.push_back(std::make_unique<DeviceEntry>(DeviceEntry{
        EntryNetwork, found.answer.project, found.answer.model, found.answer.sn, address, true, QString(),
        found.otherSubnet}));
    if (!found.otherSubnet) {
        addRow(found.answer.model, found.answer.sn, tr("Network (%1)").arg(address));
        return;
    }
    const QString status = tr("on another subnet (%1, this computer: %2)")
                               .arg(address, DiscoverySearch::subnetsText(m_discovery->interfaces()));
    // Still selectable: a router may carry the connection.
    const QString toolTip = status + QLatin1Char('\n')
        + tr("Connecting may work through a router. Otherwise set the printer's address over USB on the "
             "Ethernet page.");
    addRow(found.answer.model, found.answer.sn, tr("Network (%1)").arg(address), status, toolTip);
}

void DialogConnect::addRow(const QString &model, const QString &sn, const QString &connection,
                           const QString &status, const QString &toolTip, bool usable)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const QStringList texts{model, sn, connection, status};
    for (int c = 0; c < texts.size(); ++c) {
        QTableWidgetItem *item = cell(texts.at(c));
        item->setToolTip(toolTip);
        if (!usable)
            item->setFlags(Qt::NoItemFlags); // greyed, never selected for Connect
        m_table->setItem(row, c, item);
    }
    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
    showSearch();
}

void DialogConnect::showSearch()
{
    // The status column's width settles with the layout; its wrapped lines follow here.
    m_table->resizeRowsToContents();
    // Printers the user can connect to: a greyed row is none.
    int found = 0;
    for (int row = 0; row < m_table->rowCount(); ++row)
        found += (m_table->item(row, 0)->flags() & Qt::ItemIsSelectable) ? 1 : 0;
    switch (m_phase) {
    case PhaseUsb:
        m_search->setText(tr("Searching USB printers..."));
        return;
    case PhaseNetwork: {
        // The scan ends one step after its last request; a started second counts as left.
        const int leftMs = (NetworkSteps + 1 - m_step) * s_stepMs;
        m_search->setText(tr("Searching the network: %1 s left, %n found", "", found).arg((leftMs + 999) / 1000));
        return;
    }
    case PhaseIdle:
        break;
    }
    if (found > 0) {
        m_search->setText(tr("Search finished: %n found", "", found));
        return;
    }
    QStringList searched, failed;
    for (const DiscoverySearch::Interface &iface : m_discovery->interfaces()) {
        searched << iface.describe();
        if (!iface.sent)
            failed << tr("%1 (%2)").arg(iface.name, iface.sendError);
    }
    QString interfaces = searched.isEmpty() ? tr("No network interface to search on.")
                                            : tr("Searched %1.").arg(searched.join(QStringLiteral(", ")));
    if (!failed.isEmpty())
        interfaces += QLatin1Char(' ') + tr("The send failed on %1.").arg(failed.join(QStringLiteral(", ")));
    m_search->setText(tr("No printer answered. Type the printer's IPv4 address in the Address field "
                         "and press Connect.")
                      + QLatin1Char('\n') + interfaces);
    // Pointed there, ready to type over; but typing already under way is not disturbed.
    if (!m_addressEdit->hasFocus()) {
        m_addressEdit->setFocus(Qt::OtherFocusReason);
        m_addressEdit->selectAll();
    }
}

void DialogConnect::scanFinished()
{
    m_phase = PhaseIdle;
    if (g_demoMode) {
        // Sample rows without entries: shown, never connected.
        addRow(QStringLiteral("RX210"), QStringLiteral("ZR21A23110057"), tr("Network (%1)").arg(QStringLiteral("192.168.1.57")));
        addRow(QStringLiteral("RX100"), QStringLiteral("ZR10A24020386"), tr("Network (%1)").arg(QStringLiteral("192.168.1.86")));
    }
    // A typed address is what the user wants; selecting a row would override it.
    if (m_table->selectedItems().isEmpty() && m_addressEdit->text().trimmed().isEmpty()) {
        for (int row = 0; row < m_table->rowCount(); ++row) {
            if (m_table->item(row, 0)->flags() & Qt::ItemIsSelectable) {
                m_table->selectRow(row);
                break;
            }
        }
    }
    updateConnectButton();
    m_scan->setEnabled(true);
    showSearch();
}

void DialogConnect::onItemSelectionChanged()
{
    updateConnectButton();
}

void DialogConnect::updateConnectButton()
{
    // A roll-out has links of its own: the probe link does not hold it up.
    m_applyProfile->setEnabled(!selectedNetworkPrinters().isEmpty());
    // The diagnosis opens USB nodes itself: not beside a probe link or a pending Connect.
    m_diagnose->setEnabled(m_phase != PhaseUsb && !m_waiting);
    // While a probe link is open no other link can be opened.
    if (m_phase == PhaseUsb)
        return;
    m_connect->setEnabled(!m_waiting
                          && (!m_table->selectedItems().isEmpty()
                              || !m_addressEdit->text().trimmed().isEmpty()));
}

void DialogConnect::onAddressEdited(const QString &text)
{
    // Typing means this address, not the row that happens to be selected.
    if (!text.trimmed().isEmpty())
        m_table->clearSelection();
    updateConnectButton();
}

void DialogConnect::onItemDoubleClicked(QTableWidgetItem *item)
{
    Q_UNUSED(item)
    doConnect();
}

void DialogConnect::doCancel()
{
    // Cancel while a Connect is pending gives that attempt up too.
    if (m_waiting)
        g_transceiver->close();
    reject();
}

void DialogConnect::doConnect()
{
    const QList<QTableWidgetItem *> selected = m_table->selectedItems();
    if (selected.isEmpty()) {
        connectToTypedAddress();
        return;
    }
    const int current = m_table->currentRow();
    const bool currentSelected = m_table->selectionModel()->isRowSelected(current, QModelIndex());
    const DeviceEntry *e = entry(currentSelected ? current : selected.first()->row());
    if (!e)
        return;
    g_hostCmd.setProject(e->project);
    g_hostCmd.setModel(e->model);
    switch (e->type) {
    case EntryUsb:
        if (g_transceiver->openUsb(e->address, false))
            waitFor(QStringLiteral("USB"));
        break;
    case EntryNetwork:
        if (g_transceiver->connectTcp(QHostAddress(e->address))) {
            waitFor(e->address);
            m_discoveredAddress = e->address;
        }
        break;
    default:
        break;
    }
}

void DialogConnect::waitFor(const QString &where)
{
    m_waiting = true;
    m_discoveredAddress.clear();
    m_connect->setEnabled(false);
    m_diagnose->setEnabled(false);
    m_status->setText(tr("Connecting to %1...").arg(where));
}

void DialogConnect::onAnnounced()
{
    if (m_waiting)
        accept();
}

void DialogConnect::onConnectFailed(const QString &message)
{
    if (!m_waiting)
        return;
    m_waiting = false;
    // It answered the search, so it is there: the command port is what failed.
    if (!m_discoveredAddress.isEmpty())
        m_status->setText(tr("The printer answered the search, but not on its command port %1:%2. %3")
                              .arg(m_discoveredAddress)
                              .arg(Wire::CommandPort)
                              .arg(message));
    else
        m_status->setText(message);
    updateConnectButton();
}

void DialogConnect::connectToTypedAddress()
{
    const QString text = m_addressEdit->text().trimmed();
    if (text.isEmpty())
        return;
    const QHostAddress address = parseAddress(text);
    if (address.isNull()) {
        QMessageBox::warning(this, tr("Error"), tr("Invalid IP address."));
        return;
    }
    // The printer's project and model come from its handshake answer.
    if (g_transceiver->connectTcp(address, Transceiver::IdentifyByHandshake))
        waitFor(address.toString());
}

QList<QHostAddress> DialogConnect::selectedNetworkPrinters() const
{
    QList<QHostAddress> addresses;
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    for (const QModelIndex &index : rows) {
        const DeviceEntry *e = entry(index.row());
        if (e && e->type == EntryNetwork && !addresses.contains(QHostAddress(e->address)))
            addresses << QHostAddress(e->address);
    }
    std::sort(addresses.begin(), addresses.end(), [](const QHostAddress &a, const QHostAddress &b) {
        return a.toIPv4Address() < b.toIPv4Address();
    });
    return addresses;
}

void DialogConnect::doApplyProfile()
{
    const QList<QHostAddress> addresses = selectedNetworkPrinters();
    if (addresses.isEmpty())
        return;
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Apply Profile"), QString(),
                                                          tr("Profiles (*.json)"));
    if (fileName.isEmpty())
        return;
    Profile profile;
    QString error;
    if (!Profile::fromFile(fileName, &profile, &error)) {
        QMessageBox::warning(this, tr("Apply Profile"),
                             tr("Could not read the profile %1:\n%2").arg(QDir::toNativeSeparators(fileName), error));
        return;
    }
    QList<Rollout::Printer> printers;
    for (const QHostAddress &address : addresses)
        printers << Rollout::Printer{address};
    LOG_LINE("applying profile %s to %d printer(s)", qPrintable(fileName), printers.size());
    DialogRollout rollout(profile, fileName, printers, this);
    rollout.start();
    rollout.exec();
}

void DialogConnect::onTableContextMenu(const QPoint &pos)
{
    const QTableWidgetItem *item = m_table->itemAt(pos);
    const DeviceEntry *e = item ? entry(item->row()) : nullptr;
    if (!e || e->fix.isEmpty())
        return;
    QMenu menu(this);
    const int row = item->row();
    menu.addAction(tr("Copy fix"), this, [this, row] { copyFix(row); });
    menu.exec(m_table->viewport()->mapToGlobal(pos));
}

void DialogConnect::copyFix(int row)
{
    const DeviceEntry *e = entry(row);
    if (e && !e->fix.isEmpty())
        QApplication::clipboard()->setText(e->fix);
}

void DialogConnect::doDiagnose()
{
    // The diagnosis searches from the same port, which takes the answers from this scan: the
    // scan stops for it, and starts anew afterwards, perhaps after a fix.
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
    m_phase = PhaseIdle;
    DialogDiagnosis(this).exec();
    doScan();
}
