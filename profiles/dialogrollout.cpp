#include "profiles/dialogrollout.h"

#include <QBrush>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setToolTip(text);
    return item;
}

// The result line without the address and serial number in front: the table has columns
// for those.
QString withoutPrinter(const Rollout::Result &result)
{
    const QString address = result.printer.address.toString();
    for (const QString &front : {QStringLiteral("%1 %2: ").arg(address, result.serialNumber),
                                 QStringLiteral("%1: ").arg(address)}) {
        if (result.line.startsWith(front))
            return result.line.mid(front.size());
    }
    return result.line;
}

} // namespace

DialogRollout::DialogRollout(const Profile &profile, const QString &profileName,
                             const QList<Rollout::Printer> &printers, QWidget *parent)
    : QDialog(parent)
    , m_profile(profile)
    , m_printers(printers)
    , m_leftOut(new QLabel(this))
    , m_table(new QTableWidget(printers.size(), 3, this))
    , m_progress(new QLabel(this))
    , m_close(new QPushButton(tr("Close"), this))
{
    // One Rollout per printer would send these to every one; no two printers should share them.
    QStringList leftOut;
    if (printers.size() > 1) {
        const QStringList keys = Profile::keys(); // in file order
        for (const QString &key : keys) {
            if (Profile::isPerPrinter(key) && m_profile.values.contains(key)) {
                leftOut << Profile::displayName(key);
                m_profile.values.remove(key);
            }
        }
    }
    auto *title = new QLabel(tr("Profile %1, from %2 %3 (%4)")
                                 .arg(QFileInfo(profileName).fileName(), profile.model, profile.serialNumber,
                                      profile.date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
                             this);
    title->setWordWrap(true);
    m_leftOut->setWordWrap(true);
    m_leftOut->setText(tr("Left out, as each printer has its own: %1.").arg(leftOut.join(tr(", "))));
    m_leftOut->setVisible(!leftOut.isEmpty());

    m_table->setHorizontalHeaderLabels({tr("Address"), tr("Serial number"), tr("Result")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < printers.size(); ++row) {
        m_table->setItem(row, ColumnAddress, cell(printers.at(row).address.toString()));
        m_table->setItem(row, ColumnSerial, cell(QString()));
        m_table->setItem(row, ColumnResult, cell(tr("waiting")));
    }
    m_table->resizeColumnToContents(ColumnAddress);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_progress, 1, Qt::AlignVCenter);
    buttons->addWidget(m_close, 0, Qt::AlignRight | Qt::AlignVCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(m_leftOut);
    layout->addWidget(m_table);
    layout->addLayout(buttons);

    connect(m_close, &QPushButton::clicked, this, [this] {
        if (isRunning())
            cancel();
        else
            accept();
    });
    // Return and the first focus go to the button, not to a table cell.
    m_close->setDefault(true);
    m_close->setFocus();
    setWindowTitle(tr("Apply Profile"));
    showProgress();
    resize(sizeHint());
}

// Sessions still running are children of their Rollout: they close with it.
DialogRollout::~DialogRollout() = default;

QSize DialogRollout::sizeHint() const
{
    return QSize(640, 420);
}

void DialogRollout::start()
{
    while (m_next < m_printers.size() && m_running < Rollout::DefaultParallelism)
        startNext();
    showProgress();
}

void DialogRollout::startNext()
{
    const int row = m_next++;
    auto *rollout = new Rollout(m_profile, {m_printers.at(row)}, this);
    ++m_running;
    connect(rollout, &Rollout::printerStarted, this, [this, row] { setResult(row, tr("running..."), false); });
    connect(rollout, &Rollout::printerFinished, this, [this, row, rollout] {
        onFinished(row, rollout->results().constFirst());
    });
    connect(rollout, &Rollout::finished, rollout, &QObject::deleteLater);
    rollout->start();
}

void DialogRollout::onFinished(int row, const Rollout::Result &result)
{
    --m_running;
    ++m_done;
    m_table->item(row, ColumnSerial)->setText(result.serialNumber);
    m_table->resizeColumnToContents(ColumnSerial);
    setResult(row, withoutPrinter(result), !result.ok);
    if (!m_cancelled && m_next < m_printers.size())
        startNext();
    showProgress();
}

void DialogRollout::setResult(int row, const QString &text, bool failed)
{
    QTableWidgetItem *item = m_table->item(row, ColumnResult);
    item->setText(text);
    item->setToolTip(text);
    item->setForeground(failed ? QBrush(Qt::red) : palette().brush(QPalette::Text));
}

void DialogRollout::cancel()
{
    if (m_cancelled || !isRunning())
        return;
    m_cancelled = true;
    for (int row = m_next; row < m_printers.size(); ++row)
        setResult(row, tr("not started"), false);
    showProgress();
}

void DialogRollout::reject()
{
    if (isRunning())
        cancel();
    else
        QDialog::reject();
}

void DialogRollout::showProgress()
{
    const int total = m_printers.size();
    QString text = tr("%1 of %2 done").arg(m_done).arg(total);
    if (m_cancelled)
        text = m_running > 0 ? tr("%1; cancelled, %n still running", "", m_running).arg(text)
                             : tr("%1; cancelled, %n not started", "", total - m_next).arg(text);
    m_progress->setText(text);
    const bool running = isRunning();
    m_close->setText(running ? tr("Cancel") : tr("Close"));
    // Once cancelled there is nothing to do but wait for the running ones.
    m_close->setEnabled(!running || !m_cancelled);
}
