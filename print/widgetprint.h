#pragma once

#include "pages/settingspage.h"

class DialogDualColorSettings;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QSlider;
class QSpinBox;
struct FinePrintModeRecord;
struct PrintSettingsRecord;

// The Print Settings tab: default character set, density and quality, paper layout, what
// the printer does on cover closed and on paper not taken; two test pages of its own and
// Clear Web Password.
class WidgetPrint : public SettingsPage
{
    Q_OBJECT

public:
    explicit WidgetPrint(QWidget *parent = nullptr);

    // The slider positions the printer has: 70 to 130 in steps of 15, 0 to 100 in tens.
    static int snapDensity(int value);
    static int snapQuality(int value);

    QComboBox *cjkBox() const { return m_cjk; }
    QComboBox *codePageBox() const { return m_codePage; }
    QSlider *densitySlider() const { return m_densitySlider; }
    QSlider *qualitySlider() const { return m_qualitySlider; }
    QSpinBox *densitySpinBox() const { return m_densitySpin; }
    QSpinBox *qualitySpinBox() const { return m_qualitySpin; }
    QDoubleSpinBox *cutPositionBox() const { return m_cutPosition; }
    QCheckBox *feedBox() const { return m_feed; }
    QSpinBox *feedLengthBox() const { return m_feedLength; }
    QGroupBox *paperLayoutGroup() const { return m_paperGroup; }
    QGroupBox *coverGroup() const { return m_coverGroup; }
    QGroupBox *paperNotTakenGroup() const { return m_paperNotTakenGroup; }
    QPushButton *clearPasswordButton() const { return m_clearPassword; }
    QPushButton *fontButton() const { return m_font; }
    QPushButton *dualColorButton() const { return m_dualColor; }
    QPushButton *blackMarkTestButton() const { return m_blackMarkTest; }
    DialogDualColorSettings *dualColorDialog() const { return m_dualColorDialog; }

    void setSettings(const PrintSettingsRecord &record);
    PrintSettingsRecord settings() const;
    void setFinePrintMode(bool on);
    FinePrintModeRecord finePrintMode() const;

    void updateEnabledStates();
    // Paper layout, cover and paper-not-taken settings exist on the Ethernet models only.
    void updateForModel();

    QByteArray buildTestPage() const;

public slots:
    void doClearWebPassword();
    void doFontSettings();
    void doDualColorSettings();
    void doPrintTestPage();
    void doBlackMarkPrintTest();
    void doSave() override;
    void onCjkCurrentIndexChanged(int index);
    void onUtf8CurrentIndexChanged(int index);
    void onDensitySliderValueChanged(int value);
    void onDensitySpinBoxValueChanged(int value);
    void onQualitySliderValueChanged(int value);
    void onQualitySpinBoxValueChanged(int value);
    void onPaperTypeChanged(int index);
    void onFeedAndCutStateChanged(int state);

private:
    void fillChoices();
    void buildCharsetGroup();
    void buildPrintGroup();
    void buildPaperGroup();
    void buildCoverAndPaperNotTakenGroups();
    void connectControls();
    void printOrWarn(const QByteArray &page, const QString &what);

    QGroupBox *m_charsetGroup;
    QGroupBox *m_printGroup;
    QGroupBox *m_paperGroup;
    QGroupBox *m_coverGroup;
    QGroupBox *m_paperNotTakenGroup;
    QList<QLabel *> m_paperLabels;
    QComboBox *m_cjk;
    QComboBox *m_codePage;
    QComboBox *m_utf8;
    QSlider *m_densitySlider;
    QSlider *m_qualitySlider;
    QSpinBox *m_densitySpin;
    QSpinBox *m_qualitySpin;
    QCheckBox *m_finePrint;
    QComboBox *m_paperType;
    QComboBox *m_location;
    QDoubleSpinBox *m_cutPosition;
    QDoubleSpinBox *m_printPosition;
    QCheckBox *m_feed;
    QSpinBox *m_feedLength;
    QLabel *m_feedLabel;
    QCheckBox *m_stop;
    QCheckBox *m_voice;
    QPushButton *m_clearPassword;
    QPushButton *m_font;
    QPushButton *m_dualColor;
    QPushButton *m_testPage;
    QPushButton *m_blackMarkTest;
    DialogDualColorSettings *m_dualColorDialog;
};
