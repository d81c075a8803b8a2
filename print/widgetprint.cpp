#include "print/widgetprint.h"

#include "app/conf.h"
#include "pages/tcprawprint.h"
#include "print/codepages.h"
#include "print/dialogdualcolorsettings.h"
#include "print/dialogfontsettings.h"
#include "print/printcontrols.h"
#include "pages/testpage.h"
#include "protocol/fineprintmoderecord.h"
#include "protocol/hostcmd.h"
#include "protocol/printsettingsrecord.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

namespace {

constexpr int CjkDisabledIndex = 5;
constexpr int DensityMin = 70, DensityMax = 130, DensityStep = 15;
constexpr int QualityMax = 100, QualityStep = 10;
constexpr Qt::Alignment LabelAlignment = Qt::AlignRight | Qt::AlignVCenter;

QDoubleSpinBox *millimetres(QWidget *parent, double min, double max)
{
    auto *s = new QDoubleSpinBox(parent);
    s->setDecimals(2);
    s->setRange(min, max);
    s->setSingleStep(0.1);
    return s;
}

} // namespace

WidgetPrint::WidgetPrint(QWidget *parent)
    : SettingsPage(parent)
    , m_charsetGroup(new QGroupBox(tr("Default Character Set"), this))
    , m_printGroup(new QGroupBox(tr("Print"), this))
    , m_paperGroup(new QGroupBox(tr("Paper Layout"), this))
    , m_coverGroup(new QGroupBox(tr("On Cover Closed"), this))
    , m_paperNotTakenGroup(new QGroupBox(tr("On Paper Not Taken"), this))
    , m_cjk(new QComboBox(this))
    , m_codePage(new QComboBox(this))
    , m_utf8(new QComboBox(this))
    , m_densitySlider(PrintControls::slider(this, DensityMin, DensityMax, DensityStep))
    , m_qualitySlider(PrintControls::slider(this, 0, QualityMax, QualityStep))
    , m_densitySpin(PrintControls::spinBox(this, DensityMin, DensityMax, DensityStep))
    // Finer than the slider: a value between two ticks can be typed and is sent as typed.
    , m_qualitySpin(PrintControls::spinBox(this, 0, QualityMax, 5))
    , m_finePrint(new QCheckBox(tr("Fine Print Mode"), this))
    , m_paperType(new QComboBox(this))
    , m_location(new QComboBox(this))
    , m_cutPosition(millimetres(this, -100.0, 25.0))
    , m_printPosition(millimetres(this, 10.0, 100.0))
    , m_feed(new QCheckBox(tr("Feed"), this))
    , m_feedLength(PrintControls::spinBox(this, 20, 200, 1))
    , m_feedLabel(new QLabel(tr("mm and cut on cover closed"), this))
    , m_stop(new QCheckBox(tr("Stop Printing"), this))
    , m_voice(new QCheckBox(tr("Voice Alert"), this))
    , m_clearPassword(new QPushButton(tr("Clear Web Password"), this))
    , m_font(new QPushButton(tr("Font Settings..."), this))
    , m_dualColor(new QPushButton(tr("Dual-Color Settings..."), this))
    , m_testPage(new QPushButton(tr("Print Test Page"), this))
    , m_blackMarkTest(new QPushButton(tr("Black Mark Print Test"), this))
    // One for the page's life: its values stay from one opening to the next.
    , m_dualColorDialog(new DialogDualColorSettings(this))
{
    fillChoices();
    buildCharsetGroup();
    buildPrintGroup();
    buildPaperGroup();
    buildCoverAndPaperNotTakenGroups();
    for (QGroupBox *group : {m_charsetGroup, m_printGroup, m_paperGroup, m_coverGroup, m_paperNotTakenGroup})
        form()->addRow(group);
    for (QPushButton *button : {m_clearPassword, m_font, m_dualColor, m_testPage, m_blackMarkTest})
        addButton(button);

    // The Feed box and its length stay out of the chain.
    setFocusChain({m_utf8, m_cjk, m_codePage, m_densitySlider, m_densitySpin, m_qualitySlider,
                   m_qualitySpin, m_finePrint, m_paperType, m_location, m_cutPosition, m_printPosition,
                   m_stop, m_voice, m_clearPassword, m_font, m_dualColor, m_testPage, m_blackMarkTest,
                   saveButton()});
    connectControls();

    // Decided once: the configuration file opts in to these.
    m_font->setVisible(g_conf.fontSettingsEnabled() >= 1);
    m_dualColor->setVisible(g_conf.dualColorSettingsEnabled() >= 1);
    updateEnabledStates();
}

void WidgetPrint::fillChoices()
{
    for (const auto &item : {std::pair<const char *, int>{"GB18030", 0}, {"BIG5", 1}, {"Shift JIS", 11},
                             {"JIS 0208", 12}, {"KS C 5601", 21}})
        m_cjk->addItem(QString::fromLatin1(item.first), item.second);
    m_cjk->addItem(tr("Disable CJK Mode"), 128);
    for (const CodePages::CodePage &page : CodePages::list())
        m_codePage->addItem(QString::fromLatin1(page.name), page.number);
    m_utf8->addItem(tr("No"), 0);
    m_utf8->addItem(tr("Yes"), 1);
    m_paperType->addItem(tr("Receipt"), int(PrintSettingsRecord::PaperReceipt));
    m_paperType->addItem(tr("Paper with Black Mark"), int(PrintSettingsRecord::PaperBlackMark));
    m_location->addItem(tr("Side"), 1);
    m_location->addItem(tr("Center"), 2);
    m_densitySlider->setValue(100);
    m_densitySpin->setValue(100);
    m_printPosition->setValue(0.0); // held at its minimum
}

void WidgetPrint::buildCharsetGroup()
{
    auto *charset = new QFormLayout(m_charsetGroup);
    charset->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    charset->setFormAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    charset->addRow(new QLabel(tr("UTF-8 Mode:"), this), m_utf8);
    charset->addRow(new QLabel(tr("CJK:"), this), m_cjk);
    charset->addRow(new QLabel(tr("Code Page:"), this), m_codePage);
}

void WidgetPrint::buildPrintGroup()
{
    auto *print = new QGridLayout(m_printGroup);
    print->addWidget(new QLabel(tr("Density:"), this), 0, 0, LabelAlignment);
    print->addWidget(m_densitySlider, 0, 1);
    print->addWidget(m_densitySpin, 0, 2);
    print->addWidget(new QLabel(tr("Quality:"), this), 1, 0, LabelAlignment);
    print->addWidget(m_qualitySlider, 1, 1);
    print->addWidget(m_qualitySpin, 1, 2);
    print->addWidget(m_finePrint, 2, 0, 1, 3, Qt::AlignLeft | Qt::AlignVCenter);
}

void WidgetPrint::buildPaperGroup()
{
    m_paperLabels = {new QLabel(tr("Paper Type:"), this),     new QLabel(tr("Black Mark Location:"), this),
                     new QLabel(tr("Cut Position:"), this),   new QLabel(tr(" mm above the top of black mark"), this),
                     new QLabel(tr("Print Position:"), this), new QLabel(tr(" mm below the cut position"), this)};
    auto *paper = new QGridLayout(m_paperGroup);
    paper->addWidget(m_paperLabels[0], 0, 0, LabelAlignment);
    paper->addWidget(m_paperType, 0, 1, 1, 9);
    paper->addWidget(m_paperLabels[1], 1, 0, LabelAlignment);
    paper->addWidget(m_location, 1, 1, 1, 9);
    paper->addWidget(m_paperLabels[2], 2, 0, LabelAlignment);
    paper->addWidget(m_cutPosition, 2, 1, 1, 8);
    paper->addWidget(m_paperLabels[3], 2, 9);
    paper->addWidget(m_paperLabels[4], 3, 0, LabelAlignment);
    paper->addWidget(m_printPosition, 3, 1, 1, 8);
    paper->addWidget(m_paperLabels[5], 3, 9);
}

void WidgetPrint::buildCoverAndPaperNotTakenGroups()
{
    auto *cover = new QHBoxLayout(m_coverGroup);
    cover->addWidget(m_feed);
    cover->addWidget(m_feedLength);
    cover->addWidget(m_feedLabel);
    cover->addStretch();
    auto *notTaken = new QHBoxLayout(m_paperNotTakenGroup);
    notTaken->addWidget(m_stop);
    notTaken->addWidget(m_voice);
    notTaken->addStretch();
}

void WidgetPrint::connectControls()
{
    connect(m_clearPassword, &QPushButton::clicked, this, &WidgetPrint::doClearWebPassword);
    connect(m_font, &QPushButton::clicked, this, &WidgetPrint::doFontSettings);
    connect(m_dualColor, &QPushButton::clicked, this, &WidgetPrint::doDualColorSettings);
    connect(m_testPage, &QPushButton::clicked, this, &WidgetPrint::doPrintTestPage);
    connect(m_blackMarkTest, &QPushButton::clicked, this, &WidgetPrint::doBlackMarkPrintTest);
    const auto indexChanged = QOverload<int>::of(&QComboBox::currentIndexChanged);
    connect(m_cjk, indexChanged, this, &WidgetPrint::onCjkCurrentIndexChanged);
    connect(m_utf8, indexChanged, this, &WidgetPrint::onUtf8CurrentIndexChanged);
    connect(m_paperType, indexChanged, this, &WidgetPrint::onPaperTypeChanged);
    for (QComboBox *box : {m_cjk, m_utf8, m_codePage, m_paperType, m_location})
        connect(box, indexChanged, this, &SettingsPage::onSettingsChanged);
    connect(m_densitySlider, &QSlider::sliderMoved, this, &WidgetPrint::onDensitySliderValueChanged);
    connect(m_densitySlider, &QSlider::valueChanged, this, &WidgetPrint::onDensitySliderValueChanged);
    connect(m_densitySpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &WidgetPrint::onDensitySpinBoxValueChanged);
    connect(m_qualitySlider, &QSlider::sliderMoved, this, &WidgetPrint::onQualitySliderValueChanged);
    connect(m_qualitySlider, &QSlider::valueChanged, this, &WidgetPrint::onQualitySliderValueChanged);
    connect(m_qualitySpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &WidgetPrint::onQualitySpinBoxValueChanged);
    connect(m_finePrint, &QCheckBox::stateChanged, this, &SettingsPage::onSettingsChanged);
    connect(m_feed, &QCheckBox::stateChanged, this, &WidgetPrint::onFeedAndCutStateChanged);
    connect(m_feed, &QCheckBox::stateChanged, this, &SettingsPage::onSettingsChanged);
    connect(m_feedLength, QOverload<int>::of(&QSpinBox::valueChanged), this, &SettingsPage::onSettingsChanged);
    for (QDoubleSpinBox *box : {m_cutPosition, m_printPosition})
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &SettingsPage::onSettingsChanged);
    for (QCheckBox *box : {m_stop, m_voice})
        connect(box, &QCheckBox::stateChanged, this, &SettingsPage::onSettingsChanged);
}

int WidgetPrint::snapDensity(int value)
{
    const int base = DensityMin + DensityStep * ((value - DensityMin) / DensityStep);
    return value - base <= DensityStep / 2 ? base : base + DensityStep;
}

int WidgetPrint::snapQuality(int value)
{
    const int base = QualityStep * (value / QualityStep);
    return value - base <= QualityStep / 2 ? base : base + QualityStep;
}

void WidgetPrint::setSettings(const PrintSettingsRecord &record)
{
    selectData(m_cjk, record.cjk);
    selectData(m_codePage, record.codePage);
    selectData(m_utf8, record.utf8Mode);
    // The slider snaps and passes its value on; when it already stood there, the spin box
    // may still hold a value typed earlier, and must show the printer's too.
    m_densitySlider->setValue(record.density);
    m_densitySpin->setValue(m_densitySlider->value());
    m_qualitySlider->setValue(record.quality);
    m_qualitySpin->setValue(m_qualitySlider->value());
    selectData(m_paperType, int(record.paperType));
    selectData(m_location, record.blackMarkLocation);
    m_cutPosition->setValue(record.cutPositionMm);
    m_printPosition->setValue(record.printPositionMm);
    m_feed->setChecked(record.feedEnabled);
    if (record.feedEnabled)
        m_feedLength->setValue(record.feedMm);
    m_stop->setChecked(record.stopPrinting);
    m_voice->setChecked(record.voiceAlert);
}

PrintSettingsRecord WidgetPrint::settings() const
{
    PrintSettingsRecord record;
    record.cjk = quint8(m_cjk->currentData().toInt());
    record.codePage = quint8(m_codePage->currentData().toInt());
    record.utf8Mode = quint8(m_utf8->currentData().toInt());
    record.density = quint8(m_densitySpin->value());
    record.quality = quint8(m_qualitySpin->value());
    record.paperType = quint32(m_paperType->currentData().toInt());
    record.printPositionMm = m_printPosition->value();
    record.cutPositionMm = m_cutPosition->value();
    record.feedEnabled = m_feed->isChecked();
    record.feedMm = m_feedLength->value();
    record.blackMarkLocation = quint8(m_location->currentData().toInt());
    record.stopPrinting = m_stop->isChecked();
    record.voiceAlert = m_voice->isChecked();
    return record;
}

void WidgetPrint::setFinePrintMode(bool on)
{
    m_finePrint->setChecked(on);
}

FinePrintModeRecord WidgetPrint::finePrintMode() const
{
    return FinePrintModeRecord{m_finePrint->checkState() != Qt::Unchecked};
}

void WidgetPrint::onUtf8CurrentIndexChanged(int index)
{
    m_cjk->setEnabled(index == 0);
    m_codePage->setEnabled(m_cjk->currentIndex() == CjkDisabledIndex);
}

void WidgetPrint::onCjkCurrentIndexChanged(int index)
{
    m_codePage->setEnabled(index == CjkDisabledIndex);
}

void WidgetPrint::onPaperTypeChanged(int index)
{
    if (index != 0 && index != 1)
        return;
    const bool blackMark = index == 1;
    for (QWidget *w : std::initializer_list<QWidget *>{m_location, m_cutPosition, m_printPosition, m_blackMarkTest})
        w->setEnabled(blackMark);
    m_feed->setEnabled(!blackMark);
    m_feedLabel->setEnabled(!blackMark);
    m_feedLength->setEnabled(!blackMark && m_feed->isChecked());
}

void WidgetPrint::onFeedAndCutStateChanged(int state)
{
    m_feedLength->setEnabled(state == Qt::Checked);
}

void WidgetPrint::updateEnabledStates()
{
    onUtf8CurrentIndexChanged(m_utf8->currentIndex());
    onCjkCurrentIndexChanged(m_cjk->currentIndex());
    onPaperTypeChanged(m_paperType->currentIndex());
    onFeedAndCutStateChanged(m_feed->checkState());
}

void WidgetPrint::updateForModel()
{
    const bool on = g_hostCmd.hasEthernet();
    for (QWidget *w : std::initializer_list<QWidget *>{m_paperGroup, m_paperType, m_location, m_cutPosition,
                                                       m_printPosition, m_coverGroup, m_feed, m_feedLength,
                                                       m_feedLabel, m_paperNotTakenGroup, m_stop, m_voice})
        w->setEnabled(on);
    for (QLabel *label : qAsConst(m_paperLabels))
        label->setEnabled(on);
}

void WidgetPrint::onDensitySliderValueChanged(int value)
{
    const int snapped = snapDensity(value);
    m_densitySlider->setValue(snapped);
    m_densitySpin->setValue(snapped);
    onSettingsChanged();
}

void WidgetPrint::onDensitySpinBoxValueChanged(int value)
{
    // Only the slider snaps; a typed value the slider already shows is kept as typed.
    m_densitySlider->setValue(snapDensity(value));
    onSettingsChanged();
}

void WidgetPrint::onQualitySliderValueChanged(int value)
{
    const int snapped = snapQuality(value);
    m_qualitySlider->setValue(snapped);
    m_qualitySpin->setValue(snapped);
    onSettingsChanged();
}

void WidgetPrint::onQualitySpinBoxValueChanged(int value)
{
    m_qualitySlider->setValue(snapQuality(value));
    onSettingsChanged();
}

void WidgetPrint::doSave()
{
    saveButton()->setEnabled(false);
    g_hostCmd.SetPrintSettings(settings());
    g_hostCmd.SetFinePrintMode(finePrintMode());
}

void WidgetPrint::doClearWebPassword()
{
    if (QMessageBox::question(this, tr("Confirmation"), tr("Are you sure to clear the web password?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton)
        == QMessageBox::Yes)
        g_hostCmd.ClearWebPassword();
}

QByteArray WidgetPrint::buildTestPage() const
{
    return TestPage::printSettings(m_utf8->currentText(), m_cjk->currentText(), m_codePage->currentText(),
                                   QDateTime::currentDateTime(), g_hostCmd.isRx100());
}

void WidgetPrint::printOrWarn(const QByteArray &page, const QString &what)
{
    // As the network pages' test pages: a page the user asked for that did not go is for them
    // to act on. Shown from the event loop, not inside the connection's last signal.
    rawPrint(page, what, this, [this](bool sent, const QString &outcome) {
        if (!sent)
            QTimer::singleShot(0, this, [this, outcome] { QMessageBox::warning(this, tr("Error"), outcome); });
    });
}

void WidgetPrint::doPrintTestPage()
{
    printOrWarn(buildTestPage(), tr("Test page"));
}

void WidgetPrint::doBlackMarkPrintTest()
{
    printOrWarn(TestPage::blackMark(QDateTime::currentDateTime()), tr("Black mark test page"));
}

void WidgetPrint::doFontSettings()
{
    // A fresh dialog every time: its tables come from the printer, never from a last opening.
    // Held by a guarded pointer, as the page may go while the dialog runs.
    QPointer<DialogFontSettings> dialog = new DialogFontSettings(this);
    dialog->exec();
    delete dialog;
}

void WidgetPrint::doDualColorSettings()
{
    m_dualColorDialog->exec();
}
