#include "app/dialogdiagnosis.h"

#include "app/diagnosis.h"

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

DialogDiagnosis::DialogDiagnosis(QWidget *parent)
    : QDialog(parent)
    , m_diagnosis(new Diagnosis(this))
    , m_report(new QPlainTextEdit(this))
    , m_copy(new QPushButton(tr("&Copy"), this))
    , m_runAgain(new QPushButton(tr("&Run Again"), this))
    , m_close(new QPushButton(tr("C&lose"), this))
{
    m_report->setReadOnly(true);
    // The report's lines are indented under their headings; a fixed font keeps that.
    QFont font(QStringLiteral("monospace"));
    font.setStyleHint(QFont::TypeWriter);
    m_report->setFont(font);
    m_report->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_copy, 0, Qt::AlignLeft | Qt::AlignVCenter);
    buttons->addWidget(m_runAgain, 0, Qt::AlignLeft | Qt::AlignVCenter);
    buttons->addStretch();
    buttons->addWidget(m_close, 0, Qt::AlignRight | Qt::AlignVCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_report);
    layout->addLayout(buttons);
    m_close->setDefault(true);

    connect(m_copy, &QPushButton::clicked, this, &DialogDiagnosis::doCopy);
    connect(m_runAgain, &QPushButton::clicked, this, &DialogDiagnosis::doRunAgain);
    connect(m_close, &QPushButton::clicked, this, &DialogDiagnosis::doClose);
    connect(m_diagnosis, &Diagnosis::finished, this, &DialogDiagnosis::onFinished);
    setWindowTitle(tr("Diagnosis"));
    doRunAgain();
}

QSize DialogDiagnosis::sizeHint() const
{
    return QSize(680, 360);
}

void DialogDiagnosis::doRunAgain()
{
    m_copy->setEnabled(false);
    m_runAgain->setEnabled(false);
    m_report->setPlainText(tr("Diagnosing..."));
    m_diagnosis->start();
}

void DialogDiagnosis::doCopy()
{
    QApplication::clipboard()->setText(m_report->toPlainText());
}

void DialogDiagnosis::doClose()
{
    accept();
}

void DialogDiagnosis::onFinished()
{
    m_report->setPlainText(m_diagnosis->report().join(QLatin1Char('\n')));
    m_copy->setEnabled(true);
    m_runAgain->setEnabled(true);
}
