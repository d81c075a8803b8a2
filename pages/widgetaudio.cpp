#include "pages/widgetaudio.h"

#include "protocol/audiosettingsrecord.h"
#include "protocol/hostcmd.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

WidgetAudio::WidgetAudio(QWidget *parent)
    : SettingsPage(parent)
    // One space: the row caption is the box's only label.
    , m_all(new QCheckBox(QStringLiteral(" "), this))
    , m_cloud(new QCheckBox(QStringLiteral(" "), this))
    , m_warning(new QCheckBox(QStringLiteral(" "), this))
    , m_notice(new QCheckBox(QStringLiteral(" "), this))
    , m_voice(new QCheckBox(tr("Voice"), this))
    , m_beep(new QCheckBox(tr("Beep"), this))
{
    auto *paperNotTaken = new QHBoxLayout;
    paperNotTaken->addWidget(m_voice);
    paperNotTaken->addWidget(m_beep);
    paperNotTaken->addStretch();
    form()->addRow(tr("All Audio:"), m_all);
    form()->addRow(tr("Cloud Audio:"), m_cloud);
    form()->addRow(tr("Warning Audio:"), m_warning);
    form()->addRow(tr("Notice Audio:"), m_notice);
    form()->addRow(tr("Paper Not Taken Audio:"), paperNotTaken);

    setFocusChain({m_all, m_cloud, m_warning, m_notice, m_voice, m_beep, saveButton()});
    for (QCheckBox *box : {m_all, m_cloud, m_warning, m_notice, m_voice, m_beep})
        connect(box, &QCheckBox::stateChanged, this, &SettingsPage::onSettingsChanged);
}

void WidgetAudio::fill(const AudioSettingsRecord &record)
{
    m_all->setChecked(record.allAudio);
    m_cloud->setChecked(record.cloudAudio);
    m_warning->setChecked(record.warningAudio);
    m_notice->setChecked(record.noticeAudio);
    m_voice->setChecked(record.paperNotTakenVoice);
    m_beep->setChecked(record.paperNotTakenBeep);
    saveButton()->setEnabled(false);
}

AudioSettingsRecord WidgetAudio::settings() const
{
    AudioSettingsRecord record;
    record.allAudio = m_all->isChecked();
    record.cloudAudio = m_cloud->isChecked();
    record.warningAudio = m_warning->isChecked();
    record.noticeAudio = m_notice->isChecked();
    record.paperNotTakenVoice = m_voice->isChecked();
    record.paperNotTakenBeep = m_beep->isChecked();
    return record;
}

void WidgetAudio::onSettingsChanged()
{
    const bool on = m_all->isChecked();
    for (QCheckBox *box : {m_cloud, m_warning, m_notice, m_voice, m_beep})
        box->setEnabled(on);
    SettingsPage::onSettingsChanged();
}

void WidgetAudio::doSave()
{
    saveButton()->setEnabled(false);
    g_hostCmd.SetAudioSettings(settings());
}
