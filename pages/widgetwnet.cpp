#include "pages/widgetwnet.h"

#include "app/activity.h"
#include "pages/fieldlimits.h"
#include "protocol/hostcmd.h"
#include "protocol/wnetapnrecord.h"
#include "protocol/wnetinformation.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>

WidgetWnet::WidgetWnet(QWidget *parent)
    : SettingsPage(parent)
    , m_useApn(new QCheckBox(tr("Use Specific APN and Dial Number"), this))
    , m_apn(new QLineEdit(this))
    , m_dialNumber(new QLineEdit(this))
    , m_restart(new QPushButton(tr("Restart..."), this))
    , m_restartState(new QLabel(this))
    , m_apnCaption(tr("APN:"))
    , m_dialNumberCaption(tr("Dial Number:"))
    , m_statusTexts{tr("Disabled"),  tr("Disabling"),  tr("Enabling"), tr("Enabled"),
                    tr("Connected"), tr("Connecting"), tr("Ready")}
{
    const QString captions[FieldCount] = {tr("Version:"), tr("IMEI:"),      tr("ICCID:"),
                                          tr("IMSI:"),    tr("MCC:"),       tr("MNC:"),
                                          tr("ISP:"),     tr("Longitude:"), tr("Latitude:"),
                                          tr("RSSI:"),    tr("Status:")};
    for (int f = 0; f < FieldCount; ++f) {
        m_fields[f] = readOnlyField();
        form()->addRow(captions[f], m_fields[f]);
    }

    auto *apnForm = new QFormLayout;
    apnForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    apnForm->setFormAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    apnForm->addRow(m_apnCaption, m_apn);
    apnForm->addRow(m_dialNumberCaption, m_dialNumber);
    auto *group = new QGroupBox(this);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_useApn);
    groupLayout->addLayout(apnForm);
    // The group sits between the read-only rows and the buttons, spanning the form.
    form()->addRow(group);
    // Right above Restart: how long a restart may still take, then how it ended.
    m_restartState->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form()->addRow(m_restartState);
    addButton(m_restart);
    // Latin-1 is a byte a character; the record keeps room for the terminating zero.
    m_apn->setMaxLength(WnetApnRecord::ApnSize - 1);
    m_dialNumber->setMaxLength(WnetApnRecord::DialNumberSize - 1);

    setFocusChain({m_useApn, m_apn, m_dialNumber, m_restart, saveButton()});

    connect(m_restart, &QPushButton::clicked, this, &WidgetWnet::doRestart);
    connect(m_useApn, &QCheckBox::stateChanged, this, &WidgetWnet::updateApnFields);
    connect(m_useApn, &QCheckBox::stateChanged, this, &SettingsPage::onSettingsChanged);
    connect(m_apn, &QLineEdit::textChanged, this, &SettingsPage::onSettingsChanged);
    connect(m_dialNumber, &QLineEdit::textChanged, this, &SettingsPage::onSettingsChanged);
    updateApnFields();
}

QString WidgetWnet::statusText(quint16 status) const
{
    return status < m_statusTexts.size() ? m_statusTexts.at(status) : QString();
}

void WidgetWnet::fill(const WnetInformation &info)
{
    const std::pair<Field, const QString *> texts[] = {
        {Version, &info.moduleVersion}, {Imei, &info.imei}, {Iccid, &info.iccid},
        {Imsi, &info.imsi},             {Mcc, &info.mcc},   {Mnc, &info.mnc},
        {Isp, &info.operatorName},
    };
    for (const auto &text : texts)
        m_fields[text.first]->setText(*text.second);

    // Empty parts count: "113.9," is a longitude without a latitude.
    const QStringList position = info.position.split(QLatin1Char(','));
    const bool twoParts = position.size() == 2;
    m_fields[Longitude]->setText(twoParts ? position.at(0) : QString());
    m_fields[Latitude]->setText(twoParts ? position.at(1) : QString());
    m_fields[Rssi]->setText(info.signalStrength == WnetInformation::NoSignal
                                ? QString()
                                : QString::number(info.signalStrength));
    m_fields[Status]->setText(statusText(info.status));
    if (info.status == ConnectedStatus)
        noteModuleConnected();

    m_useApn->setChecked(info.useSpecificApn);
    m_apn->setText(info.apn);
    m_dialNumber->setText(info.dialNumber);
    updateApnFields();
    saveButton()->setEnabled(false);
}

void WidgetWnet::showDemoSamples()
{
    const std::pair<Field, const char *> samples[] = {
        {Version, "EC200N-CN V1.0.6"},   {Imei, "866123045678901"},
        {Iccid, "89860321245678901234"}, {Imsi, "460031234567890"},
        {Mcc, "460"},                    {Mnc, "11"},
        {Isp, "CHN-CT"},                 {Longitude, "114.057868"},
        {Latitude, "22.543099"},         {Rssi, "-55"},
    };
    for (const auto &sample : samples)
        m_fields[sample.first]->setText(QString::fromLatin1(sample.second));
    m_fields[Status]->setText(statusText(ConnectedStatus));
}

WnetApnRecord WidgetWnet::apnSettings() const
{
    WnetApnRecord record;
    record.useSpecificApn = m_useApn->isChecked();
    // Sent even while unchecked: the printer keeps them for the next time.
    record.apn = m_apn->text().left(WnetApnRecord::ApnSize - 1);
    record.dialNumber = m_dialNumber->text().left(WnetApnRecord::DialNumberSize - 1);
    return record;
}

void WidgetWnet::updateApnFields()
{
    const bool on = m_restart->isEnabled() && m_useApn->isChecked();
    m_apn->setEnabled(on);
    m_dialNumber->setEnabled(on);
}

void WidgetWnet::noteModuleConnected()
{
    if (m_countdown < TrustConnectedBelow) {
        m_reconnected = m_reconnected || m_countdown > 0;
        m_countdown = 0;
    }
}

void WidgetWnet::doSave()
{
    const std::pair<QLineEdit *, QString> fields[] = {{m_apn, m_apnCaption}, {m_dialNumber, m_dialNumberCaption}};
    for (const auto &field : fields) {
        const QString problem =
            FieldLimits::latin1Problem(FieldLimits::fieldName(field.second), field.first->text());
        if (!problem.isEmpty()) {
            QMessageBox::warning(this, tr("Error"), problem, QMessageBox::Ok);
            field.first->setFocus();
            return;
        }
    }
    saveButton()->setEnabled(false);
    g_hostCmd.SetWnetApn(apnSettings());
}

void WidgetWnet::doRestart()
{
    if (QMessageBox::question(this, tr("Confirmation"), tr("Restart the 4G module?"),
                              QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    for (QWidget *w : std::initializer_list<QWidget *>{m_restart, saveButton(), m_useApn, m_apn, m_dialNumber})
        w->setEnabled(false);
    m_countdown = RestartPolls;
    m_reconnected = false;
    showCountdown();
    g_hostCmd.RestartWnetModule();
    m_pollTimer = startTimer(m_pollMs, Qt::CoarseTimer);
}

void WidgetWnet::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_pollTimer) {
        SettingsPage::timerEvent(event);
        return;
    }
    restartTick();
}

void WidgetWnet::restartTick()
{
    if (!m_pollTimer)
        return;
    if (m_countdown != 0) {
        g_hostCmd.query(GetWnetInfo);
        if (--m_countdown > 0) {
            showCountdown();
            return;
        }
    }
    killTimer(m_pollTimer);
    m_pollTimer = 0;
    m_restart->setEnabled(true);
    m_useApn->setEnabled(true);
    updateApnFields();
    const QString outcome = m_reconnected
        ? tr("4G module restarted: %1").arg(statusText(ConnectedStatus))
        : tr("4G module did not report %1; gave up after %2 s")
              .arg(statusText(ConnectedStatus))
              .arg(RestartPolls * RestartPollMs / 1000);
    m_restartState->setText(outcome);
    Activity::report(outcome);
}

void WidgetWnet::showCountdown()
{
    m_restartState->setText(tr("Restarting the 4G module: %1 s left").arg(m_countdown));
}
