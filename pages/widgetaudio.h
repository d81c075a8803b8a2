#pragma once

#include "pages/settingspage.h"

class QCheckBox;
struct AudioSettingsRecord;

// The Audio tab: the printer's sound switches by category. "All Audio" is a master switch:
// while it is off the others are greyed out but keep, and save, their state.
class WidgetAudio : public SettingsPage
{
    Q_OBJECT

public:
    explicit WidgetAudio(QWidget *parent = nullptr);

    // Shows the printer's switches; Save is left off.
    void fill(const AudioSettingsRecord &record);
    // The switches as Save sends them.
    AudioSettingsRecord settings() const;

public slots:
    void doSave() override;
    void onSettingsChanged() override;

private:
    QCheckBox *m_all;
    QCheckBox *m_cloud;
    QCheckBox *m_warning;
    QCheckBox *m_notice;
    QCheckBox *m_voice;
    QCheckBox *m_beep;
};
