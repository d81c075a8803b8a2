#include "nvimage/widgetnvimage.h"

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
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>

WidgetNvImage::WidgetNvImage(QWidget *parent)
    : QWidget(parent)
    , m_table(new QTableWidget(0, 2, this))
    , m_usageBar(new QProgressBar(this))
    , m_usageLabel(new QLabel(tr("%1 Used, %2 Total").arg(0).arg(0), this))
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
        auto *keyItem = new QTableWidgetItem(
            tr("\"%1%2\"").arg(QString(QLatin1Char(kc1)), QString(QLatin1Char(kc2))));
        keyItem->setTextAlignment(Qt::AlignCenter);
        keyItem->setFlags(flags);
        auto *sizeItem = new QTableWidgetItem(QStringLiteral("%1").arg(image.size));
        sizeItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        sizeItem->setFlags(flags);
        m_table->setItem(row, 0, keyItem);
        m_table->setItem(row, 1, sizeItem);
    }

    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
    showUsage();
}

void WidgetNvImage::clear()
{
    resetList(0, 0);
    showUsage();
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
    m_usageLabel->setText(tr("%1 Used, %2 Total").arg(m_used).arg(m_total));
}

int WidgetNvImage::selectedRows() const
{
    // Whole rows are selected, so every row counts once per column.
    return m_table->selectedItems().count() / m_table->columnCount();
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
    g_hostCmd.query(HostCmdWord::GetNvImageList);
}

void WidgetNvImage::doDownload()
{
    DialogDownloadNvImage dialog(m_keyCodes, this);
    if (dialog.exec() == QDialog::Accepted)
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
    NvImageSink::send(NvImageCommands::printStored(text.at(1).toLatin1(), text.at(2).toLatin1()), tr("NV print"));
}

void WidgetNvImage::doDelete()
{
    if (selectedRows() < 1)
        return;
    const QList<QTableWidgetItem *> items = m_table->selectedItems();
    for (const QTableWidgetItem *item : items) {
        if (item->column() != 0)
            continue;
        const QString text = item->text();
        LOG_LINE("key code: \"%s\"", qUtf8Printable(text));
        if (text.size() >= 3)
            NvImageSink::send(NvImageCommands::deleteOne(text.at(1).toLatin1(), text.at(2).toLatin1()), tr("NV delete"));
    }
    refreshLater();
}

void WidgetNvImage::doDeleteAll()
{
    if (m_table->rowCount() == 0)
        return;
    NvImageSink::send(NvImageCommands::deleteAll(), tr("NV delete all"));
    refreshLater();
}

void WidgetNvImage::onNvImagesItemSelectionChanged()
{
    const int rows = selectedRows();
    m_print->setEnabled(rows == 1);
    m_delete->setEnabled(rows >= 1);
}
