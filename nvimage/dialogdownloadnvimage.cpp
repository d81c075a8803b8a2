#include "nvimage/dialogdownloadnvimage.h"

#include "app/displaytext.h"
#include "nvimage/nvimagecommands.h"
#include "nvimage/nvimagesink.h"
#include "protocol/hostcmd.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

DialogDownloadNvImage::DialogDownloadNvImage(const QList<quint16> &existingKeyCodes, QWidget *parent)
    : QDialog(parent)
    , m_dithering(new QButtonGroup(this))
    , m_diffuse(new QRadioButton(tr("Diffuse"), this))
    , m_ordered(new QRadioButton(tr("Ordered"), this))
    , m_threshold(new QRadioButton(tr("Threshold"), this))
    , m_width(new QSpinBox(this))
    , m_height(new QSpinBox(this))
    , m_keepAspect(new QCheckBox(tr("Keep Aspect Ratio"), this))
    , m_kc1(new QLineEdit(this))
    , m_kc2(new QLineEdit(this))
    , m_ditheringBox(new QGroupBox(tr("Dithering Mode"), this))
    , m_sizeBox(new QGroupBox(tr("Image Size"), this))
    , m_keyCodeBox(new QGroupBox(tr("Key Code"), this))
    , m_preview(new QLabel)
    , m_information(new QLabel(this))
    , m_previewArea(new QScrollArea(this))
    , m_browse(new QPushButton(tr("Browse..."), this))
    , m_print(new QPushButton(tr("Print"), this))
    , m_download(new QPushButton(tr("Download"), this))
    , m_close(new QPushButton(tr("Close"), this))
    , m_existingKeyCodes(existingKeyCodes)
    // Read once: the printer cannot change while the dialog is up.
    , m_dotsPerLine(g_hostCmd.dotsPerLine())
{
    m_dithering->addButton(m_diffuse, NvImageCommands::Diffuse);
    m_dithering->addButton(m_ordered, NvImageCommands::Ordered);
    m_dithering->addButton(m_threshold, NvImageCommands::Threshold);
    m_diffuse->setChecked(true);
    m_width->setRange(0, m_dotsPerLine);
    m_height->setRange(0, NvImageCommands::MaxHeight);
    m_keepAspect->setChecked(true);
    m_kc1->setMaxLength(1);
    m_kc2->setMaxLength(1);

    auto *ditheringLayout = new QHBoxLayout(m_ditheringBox);
    ditheringLayout->addWidget(m_diffuse);
    ditheringLayout->addWidget(m_ordered);
    ditheringLayout->addWidget(m_threshold);

    auto *sizeLayout = new QHBoxLayout(m_sizeBox);
    sizeLayout->addWidget(new QLabel(tr("W:"), m_sizeBox));
    sizeLayout->addWidget(m_width);
    sizeLayout->addWidget(new QLabel(tr("px"), m_sizeBox));
    sizeLayout->addSpacing(10);
    sizeLayout->addWidget(new QLabel(tr("H:"), m_sizeBox));
    sizeLayout->addWidget(m_height);
    sizeLayout->addWidget(new QLabel(tr("px"), m_sizeBox));
    sizeLayout->addSpacing(10);
    sizeLayout->addWidget(m_keepAspect);

    auto *keyCodeLayout = new QHBoxLayout(m_keyCodeBox);
    keyCodeLayout->addWidget(new QLabel(tr("kc1:"), m_keyCodeBox));
    keyCodeLayout->addWidget(m_kc1);
    keyCodeLayout->addSpacing(10);
    keyCodeLayout->addWidget(new QLabel(tr("kc2:"), m_keyCodeBox));
    keyCodeLayout->addWidget(m_kc2);

    auto *boxes = new QHBoxLayout;
    boxes->addWidget(m_ditheringBox);
    boxes->addWidget(m_sizeBox);
    boxes->addWidget(m_keyCodeBox);
    boxes->addStretch();

    m_previewArea->setBackgroundRole(QPalette::Dark);
    m_previewArea->setAlignment(Qt::AlignCenter);
    m_previewArea->setWidgetResizable(false);
    m_previewArea->setMinimumSize(384, 288);
    m_preview->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_preview->setScaledContents(true);
    m_previewArea->setWidget(m_preview);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {m_browse, m_print, m_download, m_close})
        buttons->addWidget(button, 0, Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(m_previewArea);
    layout->addWidget(m_information);
    layout->addLayout(buttons);

    QWidget *previous = nullptr;
    for (QWidget *w : std::initializer_list<QWidget *>{m_diffuse, m_ordered, m_threshold, m_width,
                                                       m_height, m_keepAspect, m_kc1, m_kc2, m_browse,
                                                       m_print, m_download, m_close}) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }

    connect(m_browse, &QPushButton::clicked, this, &DialogDownloadNvImage::doBrowse);
    connect(m_print, &QPushButton::clicked, this, &DialogDownloadNvImage::doPrint);
    connect(m_download, &QPushButton::clicked, this, &DialogDownloadNvImage::doDownload);
    connect(m_close, &QPushButton::clicked, this, &DialogDownloadNvImage::doClose);
    connect(m_dithering, &QButtonGroup::idClicked, this, &DialogDownloadNvImage::onDitheringModeButtonClicked);
    connect(m_width, QOverload<int>::of(&QSpinBox::valueChanged), this, &DialogDownloadNvImage::onWidthValueChanged);
    connect(m_height, QOverload<int>::of(&QSpinBox::valueChanged), this, &DialogDownloadNvImage::onHeightValueChanged);
    connect(m_kc1, &QLineEdit::textEdited, this, &DialogDownloadNvImage::onKeyCodeTextEdited);
    connect(m_kc2, &QLineEdit::textEdited, this, &DialogDownloadNvImage::onKeyCodeTextEdited);

    for (QWidget *w : std::initializer_list<QWidget *>{m_width, m_height, m_keepAspect, m_print, m_download})
        w->setEnabled(false);

    setWindowIcon(QIcon(QStringLiteral(":/images/picture_add.png")));
    setWindowTitle(tr("Download NV Image"));
}

QSize DialogDownloadNvImage::sizeHint() const
{
    return QSize(640, 640);
}

void DialogDownloadNvImage::setDownloadOutcome(QObject *context, const RawPrintDone &done)
{
    m_outcomeContext = context;
    m_outcomeDone = done;
}

void DialogDownloadNvImage::doBrowse()
{
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Open"), QString(), tr("Image Files (*.bmp *.jpg *.png);;All Files (*.*)"));
    if (!file.isEmpty() && !openImage(file))
        QMessageBox::warning(this, tr("Download NV Image"),
                             tr("Cannot read \"%1\" as an image (BMP, JPEG or PNG).")
                                 .arg(DisplayText::elideMiddle(QFileInfo(file).fileName())));
}

bool DialogDownloadNvImage::openImage(const QString &file)
{
    const QImage image(file);
    if (image.isNull())
        return false;
    setSourceImage(image);
    return true;
}

void DialogDownloadNvImage::setSourceImage(const QImage &image)
{
    if (image.isNull())
        return;
    m_source = image;
    for (QWidget *w : std::initializer_list<QWidget *>{m_width, m_height, m_keepAspect, m_print})
        w->setEnabled(true);
    m_download->setEnabled(keyCodesFilled());
    m_information->setText(
        tr("%1x%2x%3b").arg(m_source.width()).arg(m_source.height()).arg(m_source.depth()));

    const QSize size = NvImageCommands::fit(m_source.size(), m_dotsPerLine);
    setBoxGuarded(m_width, size.width());
    setBoxGuarded(m_height, size.height());
    rebuildPreview();
}

void DialogDownloadNvImage::rebuildPreview()
{
    if (m_source.isNull())
        return;
    m_scaled = NvImageCommands::scaledTo(m_source, QSize(m_width->value(), m_height->value()));
    const int mode = m_dithering->checkedId();
    m_oneBit = NvImageCommands::toOneBit(m_scaled, mode);
    m_preview->setPixmap(QPixmap::fromImage(m_oneBit));
    m_preview->resize(m_preview->pixmap(Qt::ReturnByValue).size());
}

void DialogDownloadNvImage::setBoxGuarded(QSpinBox *box, int value)
{
    m_updating = true;
    box->setValue(value);
    m_updating = false;
}

bool DialogDownloadNvImage::keyCodesFilled() const
{
    return !m_kc1->text().isEmpty() && !m_kc2->text().isEmpty();
}

bool DialogDownloadNvImage::oneBitUsable() const
{
    return !m_oneBit.isNull() && m_oneBit.width() > 0 && m_oneBit.height() > 0 && m_oneBit.depth() == 1;
}

void DialogDownloadNvImage::doPrint()
{
    if (!oneBitUsable())
        return;
    NvImageSink::send(NvImageCommands::printRaster(m_oneBit, m_dotsPerLine), tr("Test print of the image"), this,
                      [this](bool sent, const QString &outcome) {
                          // Shown from the event loop, not inside the connection's last signal.
                          if (!sent)
                              QTimer::singleShot(0, this, [this, outcome] {
                                  QMessageBox::warning(this, tr("Error"), outcome);
                              });
                      });
}

void DialogDownloadNvImage::doDownload()
{
    if (!keyCodesFilled()) {
        QMessageBox::warning(this, tr("Download NV Image"), tr("Please specify the key code."));
        return;
    }
    const QString first = m_kc1->text();
    const QString second = m_kc2->text();
    const auto printable = [](const QString &s) {
        return s.size() == 1 && s.at(0).unicode() >= 32 && s.at(0).unicode() <= 126;
    };
    if (!printable(first) || !printable(second)) {
        QMessageBox::warning(
            this, tr("Download NV Image"),
            tr("kc1 and kc2 must be printable ASCII character (character code range: 32-126)."));
        return;
    }
    const char kc1 = first.at(0).toLatin1();
    const char kc2 = second.at(0).toLatin1();
    if (m_existingKeyCodes.contains(NvImageCommands::keyCode(kc1, kc2))
        && QMessageBox::question(this, tr("Download NV Image"),
                                 tr("Key code \"%1%2\" is already stored. Overwrite it?")
                                     .arg(first, second),
                                 QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    if (!oneBitUsable())
        return;
    m_downloaded = NvImageCommands::keyCode(kc1, kc2);
    NvImageSink::send(NvImageCommands::define(m_oneBit, kc1, kc2), tr("NV image \"%1%2\"").arg(first, second),
                      m_outcomeContext, m_outcomeDone);
    accept();
}

void DialogDownloadNvImage::doClose()
{
    reject();
}

void DialogDownloadNvImage::onDitheringModeButtonClicked(int id)
{
    if (id == m_ditheringMode)
        return;
    m_ditheringMode = id;
    rebuildPreview();
}

void DialogDownloadNvImage::onWidthValueChanged(int value)
{
    if (m_updating || m_source.isNull())
        return;
    if (m_keepAspect->isChecked()) {
        const qint64 height = qint64(m_source.height()) * value / m_source.width();
        // Refused: the width box shows the new value but nothing else follows it.
        if (height > NvImageCommands::MaxHeight)
            return;
        setBoxGuarded(m_height, int(height));
    }
    rebuildPreview();
}

void DialogDownloadNvImage::onHeightValueChanged(int value)
{
    if (m_updating || m_source.isNull())
        return;
    if (m_keepAspect->isChecked()) {
        const qint64 width = qint64(m_source.width()) * value / m_source.height();
        if (width > m_dotsPerLine)
            return;
        setBoxGuarded(m_width, int(width));
    }
    rebuildPreview();
}

void DialogDownloadNvImage::onKeyCodeTextEdited()
{
    m_download->setEnabled(!m_source.isNull() && keyCodesFilled());
}
