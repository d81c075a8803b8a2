#include "print/dialogfontsettings.h"

#include "app/activity.h"
#include "app/displaytext.h"
#include "print/styleditemdelegatecombobox.h"
#include "print/styleditemdelegatespinbox.h"
#include "protocol/bytefields.h"
#include "protocol/filerecord.h"
#include "protocol/hostcmd.h"
#include "transport/transceiver.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimerEvent>
#include <QVBoxLayout>

const char DialogFontSettings::FontFolder[] = "/data/PUB/fonts/";

namespace {

using Ranges = QVector<FontScriptRecord::Range>;

constexpr Qt::ItemFlags ReadOnly = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
constexpr Qt::ItemFlags Editable = ReadOnly | Qt::ItemIsEditable;
constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;

QTableWidgetItem *item(const QVariant &value, Qt::ItemFlags flags, Qt::Alignment alignment)
{
    auto *i = new QTableWidgetItem;
    i->setData(Qt::DisplayRole, value);
    i->setFlags(flags);
    i->setTextAlignment(int(alignment));
    return i;
}

QString latin1(const QByteArray &text)
{
    return QString::fromLatin1(text);
}

// A file's size with its unit, sorted by the number.
class SizeItem : public QTableWidgetItem
{
public:
    explicit SizeItem(quint32 size)
        : QTableWidgetItem(DialogFontSettings::tr("%1 bytes").arg(DisplayText::grouped(size)))
    {
        setData(Qt::UserRole, size);
        setFlags(ReadOnly);
        setTextAlignment(int(Right));
    }
    bool operator<(const QTableWidgetItem &other) const override
    {
        return data(Qt::UserRole).toUInt() < other.data(Qt::UserRole).toUInt();
    }
};

void clearRows(QTableWidget *table)
{
    table->sortByColumn(-1, Qt::AscendingOrder);
    for (int row = table->rowCount() - 1; row >= 0; --row)
        table->removeRow(row);
}

} // namespace

DialogFontSettings::DialogFontSettings(QWidget *parent)
    : QDialog(parent)
    , m_scriptLabel(new QLabel(tr("Font Settings for Different Languages:"), this))
    , m_installedLabel(new QLabel(tr("Installed Fonts:"), this))
    , m_scriptTable(new QTableWidget(0, ColumnCount, this))
    , m_installedTable(new QTableWidget(0, 2, this))
    , m_refresh(new QPushButton(tr("&Refresh"), this))
    , m_install(new QPushButton(tr("&Install Font..."), this))
    , m_uninstall(new QPushButton(tr("&Uninstall Font"), this))
    , m_apply(new QPushButton(tr("&Apply"), this))
    , m_reset(new QPushButton(tr("Reset to &Default"), this))
    , m_close(new QPushButton(tr("&Close"), this))
{
    setWindowTitle(tr("Font Settings"));
    setWindowIcon(QIcon(QStringLiteral(":/images/cog.png")));

    m_scriptTable->setHorizontalHeaderLabels(
        {QString(), tr("Script"), tr("Language"), tr("Font"), tr("Face Index"), tr("Threshold"),
         tr("Pixel Size (W)"), tr("Pixel Size (H)"), tr("Advance"), tr("ct"), tr("px"), tr("ad"),
         tr("Unicode Ranges")});
    m_scriptTable->setSortingEnabled(false);
    m_scriptTable->setAlternatingRowColors(true);
    m_scriptTable->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked);
    m_scriptTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_scriptTable->setSelectionMode(QAbstractItemView::SingleSelection);
    auto *scripts = new StyledItemDelegateComboBox(m_scriptTable);
    auto *fonts = new StyledItemDelegateComboBox(m_scriptTable);
    auto *numbers = new StyledItemDelegateSpinBox(m_scriptTable);
    m_scriptTable->setItemDelegateForColumn(ColScript, scripts);
    m_scriptTable->setItemDelegateForColumn(ColFont, fonts);
    for (int column = ColFaceIndex; column <= ColAdvance; ++column)
        m_scriptTable->setItemDelegateForColumn(column, numbers);

    m_installedTable->setHorizontalHeaderLabels({tr("File Name"), tr("File Size")});
    m_installedTable->setSortingEnabled(true);
    m_installedTable->setAlternatingRowColors(true);
    m_installedTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_installedTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_installedTable->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {m_refresh, m_install, m_uninstall, m_apply, m_reset, m_close})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_scriptLabel);
    layout->addWidget(m_scriptTable, 10);
    layout->addWidget(m_installedLabel);
    layout->addWidget(m_installedTable);
    layout->addLayout(buttons);

    connect(m_refresh, &QPushButton::clicked, this, &DialogFontSettings::doRefresh);
    connect(m_install, &QPushButton::clicked, this, &DialogFontSettings::doAddFont);
    connect(m_uninstall, &QPushButton::clicked, this, &DialogFontSettings::doRemoveFont);
    connect(m_apply, &QPushButton::clicked, this, &DialogFontSettings::doApply);
    connect(m_reset, &QPushButton::clicked, this, &DialogFontSettings::doResetToDefault);
    connect(m_close, &QPushButton::clicked, this, &DialogFontSettings::doClose);
    connect(m_scriptTable, &QTableWidget::cellChanged, this, &DialogFontSettings::onCellChanged);
    connect(&g_hostCmd, &HostCmd::responseReceived, this, &DialogFontSettings::handleResponse,
            Qt::QueuedConnection);

    // Nothing to apply before the printer has sent its table.
    m_apply->setEnabled(false);
    m_refresh->setEnabled(false);
    m_startTimerId = startTimer(StartDelayMs, Qt::CoarseTimer);
}

// An upload still running is abandoned with its job, a child: no further block, no commit.
DialogFontSettings::~DialogFontSettings() = default;

QProgressDialog *DialogFontSettings::progressDialog() const
{
    return m_progress;
}

QSize DialogFontSettings::sizeHint() const
{
    return QSize(1280, 1024);
}

void DialogFontSettings::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_startTimerId) {
        killTimer(m_startTimerId);
        m_startTimerId = 0;
        doRefresh();
    } else if (event->timerId() == m_refreshTimerId) {
        killTimer(m_refreshTimerId);
        m_refreshTimerId = 0;
        m_refresh->setEnabled(true);
    } else if (event->timerId() == m_listingTimerId) {
        killTimer(m_listingTimerId);
        m_listingTimerId = 0;
        m_awaitedName.clear();
        tell(tr("Font \"%1\" not installed: the printer did not list it after the upload"), m_uploadName,
             QMessageBox::Warning);
    } else {
        QDialog::timerEvent(event);
    }
}

void DialogFontSettings::doRefresh()
{
    m_refresh->setEnabled(false);
    if (m_refreshTimerId == 0)
        m_refreshTimerId = startTimer(RefreshHoldMs, Qt::CoarseTimer);
    refreshFontScripts();
    // The printer takes requests a few milliseconds apart.
    QThread::msleep(5);
    refreshInstalledFonts();
}

void DialogFontSettings::refreshFontScripts()
{
    clearRows(m_scriptTable);
    g_hostCmd.GetFontScripts();
}

void DialogFontSettings::refreshInstalledFonts()
{
    m_installedNames.clear();
    clearRows(m_installedTable);
    g_hostCmd.ListFiles(QByteArray(FontFolder));
}

void DialogFontSettings::appendScriptRow(const FontScriptRecord &record)
{
    const int row = m_scriptTable->rowCount();
    m_scriptTable->insertRow(row);

    auto *enabled = new QTableWidgetItem(QString());
    enabled->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    enabled->setCheckState(record.enabled ? Qt::Checked : Qt::Unchecked);
    enabled->setTextAlignment(Qt::AlignCenter);
    enabled->setData(Qt::UserRole, QVariant::fromValue(record.ranges));
    m_scriptTable->setItem(row, ColEnabled, enabled);

    m_scriptTable->setItem(row, ColScript, item(latin1(record.script), Editable, Left));
    m_scriptTable->setItem(row, ColLanguage, item(latin1(record.language), Editable, Qt::AlignCenter));
    m_scriptTable->setItem(row, ColFont, item(latin1(record.font), Editable, Left));
    m_scriptTable->setItem(row, ColFaceIndex, item(record.faceIndex, Editable, Right));
    m_scriptTable->setItem(row, ColThreshold, item(uint(record.threshold), Editable, Right));
    m_scriptTable->setItem(row, ColPixelWidth, item(uint(record.pixelWidth), Editable, Right));
    m_scriptTable->setItem(row, ColPixelHeight, item(uint(record.pixelHeight), Editable, Right));
    m_scriptTable->setItem(row, ColAdvance, item(uint(record.advance), Editable, Right));
    m_scriptTable->setItem(row, ColCt, item(uint(record.ct), ReadOnly, Right));
    m_scriptTable->setItem(row, ColPx, item(uint(record.px), ReadOnly, Right));
    m_scriptTable->setItem(row, ColAd, item(uint(record.ad), ReadOnly, Right));
    m_scriptTable->setItem(row, ColRanges,
                           item(FontScriptRecord::rangesText(record.ranges), ReadOnly, Left));
}

FontScriptRecord DialogFontSettings::scriptRecord(int row) const
{
    const auto value = [this, row](int column) {
        const QTableWidgetItem *i = m_scriptTable->item(row, column);
        return i ? i->data(Qt::DisplayRole) : QVariant();
    };
    FontScriptRecord r;
    const QTableWidgetItem *enabled = m_scriptTable->item(row, ColEnabled);
    if (enabled) {
        r.enabled = enabled->checkState() == Qt::Checked;
        r.ranges = enabled->data(Qt::UserRole).value<Ranges>();
    }
    // Characters outside Latin-1 go out as '?'; the record cuts each text to its field.
    r.script = value(ColScript).toString().toLatin1();
    r.language = value(ColLanguage).toString().toLatin1();
    r.font = value(ColFont).toString().toLatin1();
    r.faceIndex = value(ColFaceIndex).toInt();
    r.threshold = quint16(value(ColThreshold).toUInt());
    r.pixelWidth = quint16(value(ColPixelWidth).toUInt());
    r.pixelHeight = quint16(value(ColPixelHeight).toUInt());
    r.advance = quint16(value(ColAdvance).toUInt());
    r.ct = quint8(value(ColCt).toUInt());
    r.px = quint8(value(ColPx).toUInt());
    r.ad = quint8(value(ColAd).toUInt());
    return r;
}

void DialogFontSettings::handleResponse(QByteArray response)
{
    switch (ByteFields::u16(response, 0)) {
    case HostCmdWord::GetFontScripts: {
        FontScriptRecord record;
        if (!FontScriptRecord::decode(response, &record))
            return;
        appendScriptRow(record);
        m_scriptTable->resizeColumnsToContents();
        m_scriptTable->resizeRowsToContents();
        // Filling the cells raised cellChanged; nothing has been edited yet.
        m_apply->setEnabled(false);
        break;
    }
    case HostCmdWord::ListFiles: {
        QByteArray name;
        quint32 size = 0;
        if (!FileRecord::decodeListFilesEntry(response, &name, &size) || name.startsWith("fonts.conf"))
            return;
        // Appended unsorted: a sorting table would move the row between its two cells.
        m_installedTable->setSortingEnabled(false);
        const int row = m_installedTable->rowCount();
        m_installedTable->insertRow(row);
        m_installedTable->setItem(row, 0, item(latin1(name), ReadOnly, Left));
        m_installedTable->setItem(row, 1, new SizeItem(size));
        m_installedTable->setSortingEnabled(true);
        m_installedNames << latin1(name);
        m_installedTable->resizeColumnsToContents();
        m_installedTable->resizeRowsToContents();
        if (m_listingTimerId != 0 && latin1(name) == m_awaitedName && size == m_awaitedSize) {
            killTimer(m_listingTimerId);
            m_listingTimerId = 0;
            m_awaitedName.clear();
            tell(tr("Font \"%1\" installed, digest accepted"), m_uploadName);
        }
        break;
    }
    default:
        break;
    }
}

void DialogFontSettings::onCellChanged(int, int)
{
    m_apply->setEnabled(true);
}

void DialogFontSettings::doApply()
{
    m_apply->setEnabled(false);
    g_hostCmd.BeginFontScripts();
    for (int row = 0; row < m_scriptTable->rowCount(); ++row)
        g_hostCmd.SetFontScript(scriptRecord(row).toBytes(HostCmdWord::SetFontScript));
    g_hostCmd.EndFontScripts();
}

void DialogFontSettings::doResetToDefault()
{
    if (QMessageBox::question(this, tr("Confirmation"),
                              tr("Restore the printer's default font settings for every script? "
                                 "The installed font files stay as they are."),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton)
        != QMessageBox::Yes)
        return;
    g_hostCmd.ResetFontScripts();
    refreshFontScripts();
}

void DialogFontSettings::doClose()
{
    accept();
}

QByteArray DialogFontSettings::remotePath(const QString &fileName)
{
    const QByteArray path = QByteArray(FontFolder) + fileName.toLatin1();
    return path.size() < FileRecord::PathSize ? path : QByteArray();
}

void DialogFontSettings::refuseLongName(const QString &name)
{
    QMessageBox::warning(this, tr("Font Settings"),
                         tr("The file name \"%2\" is too long for the printer: it takes names of "
                            "at most %1 characters.")
                             .arg(FileRecord::PathSize - 1 - int(sizeof FontFolder - 1))
                             .arg(DisplayText::elideMiddle(name)));
}

void DialogFontSettings::doAddFont()
{
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Open"), QString(), tr("OpenType Fonts (*.ttf *.ttc *.otf);;All Files (*.*)"));
    if (!file.isEmpty())
        installFont(file);
}

bool DialogFontSettings::installFont(const QString &localFile)
{
    if (m_upload && m_upload->state() == FontUpload::Restarting)
        return false;
    const QString name = QFileInfo(localFile).fileName();
    QFile file(localFile);
    if (!file.open(QIODevice::ReadOnly)) {
        tell(tr("The font file \"%2\" cannot be read: %1").arg(file.errorString()), name,
             QMessageBox::Warning);
        return false;
    }
    const QByteArray path = remotePath(name);
    if (path.isEmpty()) {
        refuseLongName(name);
        return false;
    }
    const QByteArray data = file.readAll();
    if (data.isEmpty()) {
        tell(tr("The font file \"%1\" is empty: there is nothing to install."), name, QMessageBox::Warning);
        return false;
    }
    // A transfer that stalled on a lost link is abandoned: its write reports must not
    // count the new upload's bytes, the BeginFileUpload request's own first. Deleted
    // later, since this may run inside one of its signals.
    if (m_upload) {
        m_upload->disconnect(this);
        m_upload->abandon();
        m_upload->deleteLater();
    }
    m_uploadName = name;
    m_awaitedName.clear();
    if (m_listingTimerId != 0)
        killTimer(m_listingTimerId);
    m_listingTimerId = 0;
    m_upload = new FontUpload(this);
    connect(m_upload, &FontUpload::progress, this, &DialogFontSettings::onUploadProgress);
    connect(m_upload, &FontUpload::finished, this, &DialogFontSettings::onUploadFinished);
    // One file at a time: the progress dialog keeps the user out only once it shows.
    m_install->setEnabled(false);
    return m_upload->start(path, data);
}

void DialogFontSettings::onUploadProgress(quint32 written, quint32 size)
{
    if (written == 0) {
        // The printer took the file: a fresh progress dialog for it.
        if (m_progress)
            m_progress->deleteLater();
        m_progress = new QProgressDialog(tr("Installing Font..."), tr("Cancel"), 0, int(size), this);
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setMinimumDuration(1000);
        m_progress->setFixedWidth(400);
        m_progress->setWindowTitle(tr("Progress"));
        connect(m_progress, &QProgressDialog::canceled, m_upload, &FontUpload::cancel);
        // Escape closes the dialog without its canceled(): a cancel all the same.
        connect(m_progress, &QProgressDialog::rejected, m_upload, &FontUpload::cancel);
    }
    if (m_progress)
        m_progress->setValue(int(written));
}

void DialogFontSettings::onUploadFinished(FontUpload::State outcome)
{
    if (m_progress)
        m_progress->deleteLater();
    m_progress = nullptr;
    m_install->setEnabled(true);
    const QString name = m_uploadName;
    const QString of = tr("%1 of %2 bytes")
                           .arg(DisplayText::grouped(m_upload->written()), DisplayText::grouped(m_upload->size()));
    switch (outcome) {
    case FontUpload::Committed:
        // Told once the listing shows the file, or does not.
        m_awaitedName = latin1(remotePath(name).mid(int(sizeof FontFolder - 1)));
        m_awaitedSize = m_upload->size();
        m_listingTimerId = startTimer(ListingWaitMs);
        refreshInstalledFonts();
        break;
    case FontUpload::Refused:
        tell(tr("Font \"%1\" not installed: the printer refused the upload"), name, QMessageBox::Warning);
        break;
    case FontUpload::Cancelled:
        refreshInstalledFonts();
        tell(tr("Font \"%2\" not installed: upload cancelled after %1; the printer discarded the partial file")
                 .arg(of),
             name, QMessageBox::Information);
        break;
    case FontUpload::CancelledLinkDown:
        tell(tr("Font \"%2\" not installed: upload cancelled after %1; the link to the printer did not come back")
                 .arg(of),
             name, QMessageBox::Warning);
        break;
    default:
        break;
    }
}

void DialogFontSettings::tell(const QString &text, const QString &name, QMessageBox::Icon icon)
{
    Activity::report(text.arg(name));
    if (icon == QMessageBox::Warning)
        QMessageBox::warning(this, tr("Font Settings"), text.arg(DisplayText::elideMiddle(name)));
    else if (icon != QMessageBox::NoIcon)
        QMessageBox::information(this, tr("Font Settings"), text.arg(DisplayText::elideMiddle(name)));
}

void DialogFontSettings::doRemoveFont()
{
    const QList<QTableWidgetItem *> selected = m_installedTable->selectedItems();
    if (selected.isEmpty())
        return;
    const QTableWidgetItem *nameItem = m_installedTable->item(selected.first()->row(), 0);
    if (!nameItem)
        return;
    const QString name = nameItem->text();
    const QByteArray path = remotePath(name);
    if (path.isEmpty()) {
        refuseLongName(name);
        return;
    }
    if (QMessageBox::question(this, tr("Confirmation"),
                              tr("Uninstall the font \"%1\" from the printer?").arg(DisplayText::elideMiddle(name)),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton)
        != QMessageBox::Yes)
        return;
    g_hostCmd.DeleteFile(path);
    refreshInstalledFonts();
}
