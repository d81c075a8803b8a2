#include "profiles/dialogprofile.h"

#include "profiles/profileapply.h"

#include <QBrush>
#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Light enough for black text, dark enough to tell from the white rows in grey-scale too.
const QColor DifferingRow(255, 226, 160);
const QColor FailedText(192, 0, 0);

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setToolTip(text);
    return item;
}

} // namespace

DialogProfile::DialogProfile(const Profile &profile, const PrinterSettings &printer, Mode mode,
                             const QString &fileName, QWidget *parent)
    : QDialog(parent)
    , m_profile(profile)
    , m_printer(printer)
    , m_mode(mode)
    , m_source(new QLabel(this))
    , m_summary(new QLabel(this))
    , m_table(new QTableWidget(0, ColumnCount, this))
    , m_close(new QPushButton(mode == Apply ? tr("&Cancel") : tr("&Close"), this))
    , m_differencesOnly(new QCheckBox(tr("&Differences only"), this))
{
    m_source->setWordWrap(true);
    m_source->setText(tr("Profile %1 of %2 (%3), saved %4")
                          .arg(fileName, profile.serialNumber, profile.model,
                               profile.date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    m_summary->setWordWrap(true);
    QFont bold = m_summary->font();
    bold.setBold(true);
    m_summary->setFont(bold);

    m_table->setHorizontalHeaderLabels({QString(), tr("Setting"), tr("Printer"), tr("Profile"), tr("Result")});
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_table->setColumnHidden(ColumnResult, mode != Apply);
    fillTable();

    // Thirty-odd rows hide the two that matter; the rest is a click away.
    connect(m_differencesOnly, &QCheckBox::toggled, this, &DialogProfile::showDifferencesOnly);
    m_differencesOnly->setChecked(!m_profile.differences(m_printer).isEmpty());

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_differencesOnly);
    buttons->addStretch();
    if (mode == Apply) {
        m_apply = new QPushButton(tr("&Apply"), this);
        buttons->addWidget(m_apply, 0, Qt::AlignRight | Qt::AlignVCenter);
        // Nothing to send: the printer has the profile already, or lacks what differs.
        m_apply->setEnabled(!ProfileApply(profile, printer, false).keysToSend().isEmpty());
        m_apply->setDefault(true);
        connect(m_apply, &QPushButton::clicked, this, &DialogProfile::doApply);
    }
    buttons->addWidget(m_close, 0, Qt::AlignRight | Qt::AlignVCenter);
    connect(m_close, &QPushButton::clicked, this, &DialogProfile::doClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_source);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);

    setWindowTitle(mode == Apply ? tr("Apply Profile") : tr("Compare with Profile"));
    setWindowIcon(QIcon(mode == Apply ? QStringLiteral(":/images/profile_apply.png")
                                      : QStringLiteral(":/images/profile_compare.png")));
    // On the buttons, not on a cell of the table.
    (m_apply && m_apply->isEnabled() ? m_apply : m_close)->setFocus();
    resize(sizeHint());
}

QSize DialogProfile::sizeHint() const
{
    return QSize(m_mode == Apply ? 820 : 660, 600);
}

QString DialogProfile::modelName() const
{
    return m_printer.model.isEmpty() ? m_printer.project : m_printer.model;
}

void DialogProfile::fillTable()
{
    const QList<Profile::Difference> rows = m_profile.compare(m_printer);
    m_table->setRowCount(rows.size());
    int differing = 0;
    QFont bold = m_table->font();
    bold.setBold(true);
    const QBrush greyed = palette().brush(QPalette::Disabled, QPalette::Text);
    for (int row = 0; row < rows.size(); ++row) {
        const Profile::Difference &d = rows.at(row);
        const bool marked = d.differs && d.supported;
        differing += marked ? 1 : 0;
        const QString printerValue = d.supported ? Profile::displayValue(d.key, d.printer)
                                                 : tr("not supported by %1").arg(modelName());
        // The mark keeps a difference plain where the tint does not show.
        const QStringList texts{marked ? QStringLiteral("\u2260") : QString(), Profile::displayName(d.key),
                                printerValue, Profile::displayValue(d.key, d.profile), QString()};
        for (int column = 0; column < ColumnCount; ++column) {
            QTableWidgetItem *item = cell(texts.at(column));
            if (marked) {
                item->setFont(bold);
                item->setBackground(DifferingRow);
            } else if (!d.supported) {
                item->setForeground(greyed);
            }
            if (column == ColumnMark)
                item->setTextAlignment(Qt::AlignCenter);
            m_table->setItem(row, column, item);
        }
        m_table->item(row, ColumnSetting)->setData(Qt::UserRole, d.key);
    }
    m_summary->setText(differing == 0 ? tr("No differences")
                       : differing == 1 ? tr("1 of %1 settings differs").arg(rows.size())
                                        : tr("%1 of %2 settings differ").arg(differing).arg(rows.size()));

    // What Apply would do, before it is pressed.
    if (m_mode == Apply)
        showOutcomes(ProfileApply(m_profile, m_printer, false), false);
    // The names whole; the two values share the rest, a long one elided (its tooltip has it).
    QHeaderView *header = m_table->horizontalHeader();
    for (const int column : {ColumnMark, ColumnSetting, ColumnResult})
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ColumnPrinter, QHeaderView::Stretch);
    header->setSectionResizeMode(ColumnProfile, QHeaderView::Stretch);
}

void DialogProfile::showDifferencesOnly(bool only)
{
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->setRowHidden(row, only && m_table->item(row, ColumnMark)->text().isEmpty());
}

int DialogProfile::rowOf(const QString &key) const
{
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (m_table->item(row, ColumnSetting)->data(Qt::UserRole).toString() == key)
            return row;
    }
    return -1;
}

void DialogProfile::setResult(int row, const QString &text, bool failed)
{
    QTableWidgetItem *item = m_table->item(row, ColumnResult);
    item->setText(text);
    item->setToolTip(text);
    if (failed) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
        item->setForeground(FailedText);
    }
}

void DialogProfile::showApplying()
{
    if (m_apply)
        m_apply->setEnabled(false);
    m_summary->setText(tr("Applying the profile and reading the settings back..."));
}

void DialogProfile::showOutcomes(const ProfileApply &apply, bool sent)
{
    for (const ProfileApply::Row &r : apply.rows()) {
        const int row = rowOf(r.key);
        if (row < 0)
            continue;
        switch (r.outcome) {
        case ProfileApply::Outcome::Verified:
            setResult(row, sent ? tr("Applied and verified") : tr("To be sent"), false);
            break;
        case ProfileApply::Outcome::Unchanged:
            setResult(row, tr("Unchanged"), false);
            break;
        case ProfileApply::Outcome::NotSupported:
            setResult(row, tr("Not supported by %1").arg(modelName()), false);
            break;
        case ProfileApply::Outcome::LeftOut:
            // On one printer only the network is left out: without its password it could not be joined.
            setResult(row, r.key == QLatin1String("wifi.ssid") ? tr("Left out: no password")
                                                               : tr("Left out"),
                      false);
            break;
        case ProfileApply::Outcome::Failed:
            setResult(row, tr("Failed"), true);
            break;
        }
    }
}

void DialogProfile::showResults(const ProfileApply &apply)
{
    showOutcomes(apply, true);
    // What the printer holds now; the tint still tells what differed before.
    for (const ProfileApply::Row &r : apply.rows()) {
        const int row = rowOf(r.key);
        if (row >= 0 && !r.after.isUndefined() && r.outcome != ProfileApply::Outcome::NotSupported) {
            QTableWidgetItem *item = m_table->item(row, ColumnPrinter);
            item->setText(Profile::displayValue(r.key, r.after));
            item->setToolTip(item->text());
        }
    }
    m_summary->setText(apply.summary());
    if (m_apply)
        m_apply->setEnabled(false);
    m_close->setText(tr("&Close"));
    m_close->setFocus();
}

void DialogProfile::doApply()
{
    emit applyRequested();
}

void DialogProfile::doClose()
{
    reject();
}
