#include "nvimage/widgetnvimage.h"

#include "app/activity.h"
#include "app/displaytext.h"
#include "app/log.h"
#include "nvimage/dialogdownloadnvimage.h"
#include "nvimage/nvimagecommands.h"
#include "nvimage/nvimagesink.h"
#include "pages/tcprawprint.h"
#include "protocol/hostcmd.h"
#include "protocol/nvimagelist.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>
#include <utility>

WidgetNvImage::WidgetNvImage(QWidget *parent)
    : QWidget(parent)
    , m_table(new QTableWidget(0, 2, this))
    , m_usageBar(new QProgressBar(this))
    , m_usageLabel(new QLabel(this))
    , m_download(new QPushButton(tr("Download..."), this))
    , m_print(new QPushButton(tr("Print"), this))
    , m_delete(new QPushButton(tr("Delete"), this))
    , m_deleteAll(new QPushButton(tr("Delete All"), this))
{
    m_table->setHorizontalHeaderLabels({tr("Key Code"), tr("Size")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_usageBar->setTextVisible(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {m_download, m_print, m_delete, m_deleteAll})
        buttons->addWidget(button, 0, Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_usageBar);
    layout->addWidget(m_usageLabel);
    layout->addLayout(buttons);
    layout->addStretch();

    setTabOrder(m_table, m_download);
    setTabOrder(m_download, m_print);
    setTabOrder(m_print, m_delete);
    setTabOrder(m_delete, m_deleteAll);

    connect(m_download, &QPushButton::clicked, this, &WidgetNvImage::doDownload);
    connect(m_print, &QPushButton::clicked, this, &WidgetNvImage::doPrint);
    connect(m_delete, &QPushButton::clicked, this, &WidgetNvImage::doDelete);
    connect(m_deleteAll, &QPushButton::clicked, this, &WidgetNvImage::doDeleteAll);
    connect(m_table, &QTableWidget::itemSelectionChanged, this,
            &WidgetNvImage::onNvImagesItemSelectionChanged);
    onNvImagesItemSelectionChanged();
    showUsage();
}

void WidgetNvImage::setNvImageList(const QByteArray &response)
{
    NvImageList list;
    if (!NvImageList::decode(response, &list))
        return;
    LOG_LINE("ident: %u", list.identity);
    LOG_LINE("memory_size: %u", list.memorySize);

    if (list.identity != m_identity)
        resetList(list.identity, list.memorySize);

    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    for (const NvImageList::Image &image : qAsConst(list.images)) {
        const char kc1 = image.keyCode.at(0);
        const char kc2 = image.keyCode.at(1);
        m_keyCodes.append(NvImageCommands::keyCode(kc1, kc2));
        m_used += image.size;

        const int row = m_table->rowCount();
        m_table->insertRow(row);
        auto *keyItem = new QTableWidgetItem(keyText(m_keyCodes.last()));
        keyItem->setTextAlignment(Qt::AlignCenter);
        keyItem->setFlags(flags);
        auto *sizeItem = new QTableWidgetItem(tr("%1 bytes").arg(DisplayText::grouped(image.size)));
        sizeItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        sizeItem->setFlags(flags);
        m_table->setItem(row, 0, keyItem);
        m_table->setItem(row, 1, sizeItem);
    }

    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
    showUsage();
    if (m_expected.asked)
        confirm();
}

void WidgetNvImage::clear()
{
    resetList(0, 0);
    showUsage();
    m_expected = Expected();
}

void WidgetNvImage::resetList(quint32 identity, quint32 memorySize)
{
    for (int row = m_table->rowCount() - 1; row >= 0; --row)
        m_table->removeRow(row);
    m_keyCodes.clear();
    m_identity = identity;
    m_total = memorySize;
    m_used = 0;
}

void WidgetNvImage::showUsage()
{
    // The bar counts in int; memories beyond 2 GiB are not expected, only kept from wrapping.
    const auto toBar = [](quint32 v) { return int(qMin<quint32>(v, std::numeric_limits<int>::max())); };
    m_usageBar->setRange(0, toBar(m_total));
    m_usageBar->setValue(toBar(m_used));
    m_usageLabel->setText(tr("%1 of %2 bytes used").arg(DisplayText::grouped(m_used), DisplayText::grouped(m_total)));
}

int WidgetNvImage::selectedRows() const
{
    // Whole rows are selected, so every row counts once per column.
    return m_table->selectedItems().count() / m_table->columnCount();
}

QString WidgetNvImage::keyText(quint16 keyCode) const
{
    return tr("\"%1%2\"").arg(QString(QLatin1Char(char(keyCode >> 8))), QString(QLatin1Char(char(keyCode & 0xff))));
}

bool WidgetNvImage::confirmed(const QString &question)
{
    return QMessageBox::question(this, tr("Confirmation"), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
           == QMessageBox::Yes;
}

void WidgetNvImage::send(const QByteArray &bytes, const QString &what)
{
    NvImageSink::send(bytes, what, this, [this](bool sent, const QString &outcome) { onSent(sent, outcome); });
}

void WidgetNvImage::onSent(bool sent, const QString &outcome)
{
    if (sent)
        return;
    // The printer never had the command: its next list proves nothing, the failure is the news.
    ++m_failedSends;
    m_expected = Expected();
    warn(outcome);
}

void WidgetNvImage::warn(const QString &text)
{
    // One box for a batch that fails together (a Delete of several images), shown from the
    // event loop rather than inside the connection's last signal.
    if (m_warning)
        return;
    m_warning = true;
    QTimer::singleShot(0, this, [this, text] {
        QMessageBox::warning(this, tr("Error"), text);
        m_warning = false;
    });
}

void WidgetNvImage::expect(Expected::Kind kind, const QList<quint16> &keyCodes)
{
    m_expected = Expected();
    m_expected.kind = kind;
    m_expected.keyCodes = keyCodes;
}

void WidgetNvImage::confirm()
{
    const Expected expected = std::exchange(m_expected, Expected());
    QStringList all, left;
    for (quint16 keyCode : expected.keyCodes) {
        all << keyText(keyCode);
        if (m_keyCodes.contains(keyCode))
            left << keyText(keyCode);
    }
    const QString separator = QStringLiteral(", ");
    QString done, failed;
    switch (expected.kind) {
    case Expected::Stored:
        if (left.isEmpty())
            failed = tr("NV image %1 not stored: the printer does not list it").arg(all.join(separator));
        else
            done = tr("NV image %1 stored").arg(left.join(separator));
        break;
    case Expected::Deleted:
        if (left.isEmpty())
            done = all.size() == 1 ? tr("NV image %1 deleted").arg(all.first())
                                   : tr("NV images %1 deleted").arg(all.join(separator));
        else
            failed = left.size() == 1
                         ? tr("NV image %1 not deleted: the printer still lists it").arg(left.first())
                         : tr("NV images %1 not deleted: the printer still lists them").arg(left.join(separator));
        break;
    case Expected::AllDeleted:
        if (m_keyCodes.isEmpty())
            done = tr("All NV images deleted");
        else
            failed = tr("Not all NV images deleted: the printer still lists %1 of them").arg(m_keyCodes.size());
        break;
    case Expected::Nothing:
        return;
    }
    // Sent but not done (a full memory, say): for the user to act on, as a failed send is.
    if (!failed.isEmpty())
        warn(failed);
    Activity::report(failed.isEmpty() ? done : failed);
}

void WidgetNvImage::refreshLater()
{
    // The printer takes a moment to settle its memory before the list is right.
    QThread::msleep(RefreshDelayMs);
    m_printWaits = 0;
    refreshWhenPrinted();
}

void WidgetNvImage::refreshWhenPrinted()
{
    // On the network the commands go out on connections of their own, which run on after
    // the pause; a list asked for before they are done would not show the change yet.
    if (TcpRawPrint::inFlight() > 0 && m_printWaits++ < MaxPrintWaits) {
        QTimer::singleShot(PrintWaitMs, this, &WidgetNvImage::refreshWhenPrinted);
        return;
    }
    if (m_expected.kind != Expected::Nothing)
        m_expected.asked = true;
    g_hostCmd.query(HostCmdWord::GetNvImageList);
}

void WidgetNvImage::doDownload()
{
    DialogDownloadNvImage dialog(m_keyCodes, this);
    dialog.setDownloadOutcome(this, [this](bool sent, const QString &outcome) { onSent(sent, outcome); });
    const int failedBefore = m_failedSends;
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Failed on the spot (USB): nothing to look for in the list.
    if (m_failedSends == failedBefore)
        expect(Expected::Stored, {dialog.downloadedKeyCode()});
    refreshLater();
}

void WidgetNvImage::doPrint()
{
    if (selectedRows() != 1)
        return;
    const QList<QTableWidgetItem *> items = m_table->selectedItems();
    const auto it = std::find_if(items.begin(), items.end(),
                                 [](const QTableWidgetItem *item) { return item->column() == 0; });
    if (it == items.end())
        return;
    const QString text = (*it)->text();
    LOG_LINE("key code: \"%s\"", qUtf8Printable(text));
    if (text.size() < 3)
        return;
    send(NvImageCommands::printStored(text.at(1).toLatin1(), text.at(2).toLatin1()),
         tr("Printout of NV image %1").arg(text));
}

void WidgetNvImage::doDelete()
{
    if (selectedRows() < 1)
        return;
    QList<const QTableWidgetItem *> keyItems;
    QList<quint16> keyCodes;
    for (const QTableWidgetItem *item : m_table->selectedItems()) {
        if (item->column() == 0) {
            keyItems << item;
            keyCodes << m_keyCodes.value(item->row());
        }
    }
    const QString question = keyItems.size() == 1
                                 ? tr("Delete the NV image %1 from the printer?").arg(keyItems.first()->text())
                                 : tr("Delete the %1 selected NV images from the printer?").arg(keyItems.size());
    if (!confirmed(question))
        return;
    expect(Expected::Deleted, keyCodes);
    for (const QTableWidgetItem *item : qAsConst(keyItems)) {
        const QString text = item->text();
        LOG_LINE("key code: \"%s\"", qUtf8Printable(text));
        if (text.size() >= 3)
            send(NvImageCommands::deleteOne(text.at(1).toLatin1(), text.at(2).toLatin1()),
                 tr("Deletion of NV image %1").arg(text));
    }
    refreshLater();
}

void WidgetNvImage::doDeleteAll()
{
    const int rows = m_table->rowCount();
    if (rows == 0)
        return;
    const QString question = rows == 1
                                 ? tr("Delete the NV image %1 from the printer?").arg(keyText(m_keyCodes.value(0)))
                                 : tr("Delete all %1 NV images from the printer?").arg(rows);
    if (!confirmed(question))
        return;
    expect(Expected::AllDeleted, {});
    send(NvImageCommands::deleteAll(), tr("Deletion of all NV images"));
    refreshLater();
}

void WidgetNvImage::onNvImagesItemSelectionChanged()
{
    const int rows = selectedRows();
    m_print->setEnabled(rows == 1);
    m_delete->setEnabled(rows >= 1);
}
