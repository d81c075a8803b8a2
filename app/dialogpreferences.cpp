#include "app/dialogpreferences.h"

#include "app/conf.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

DialogPreferences::DialogPreferences(QWidget *parent)
    : QDialog(parent)
    , m_language(new QComboBox(this))
    , m_ok(new QPushButton(tr("&OK"), this))
    , m_cancel(new QPushButton(tr("&Cancel"), this))
{
    // The item index is the configured value. The Chinese name is not translated, so a
    // reader of either language finds their own.
    m_language->addItem(tr("English"));
    m_language->addItem(QStringLiteral("简体中文"));
    m_language->setCurrentIndex(int(g_conf.language()));

    auto *form = new QFormLayout;
    form->addRow(tr("&Language:"), m_language);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok, 0, Qt::AlignRight | Qt::AlignVCenter);
    buttons->addWidget(m_cancel, 0, Qt::AlignRight | Qt::AlignVCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    setTabOrder(m_language, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_ok->setDefault(true);

    connect(m_ok, &QPushButton::clicked, this, &DialogPreferences::doOk);
    connect(m_cancel, &QPushButton::clicked, this, &DialogPreferences::doCancel);
    setWindowIcon(QIcon(QStringLiteral(":/images/cog.png")));
    setWindowTitle(tr("Preferences"));
}

QSize DialogPreferences::sizeHint() const
{
    // The layout's minimum decides the height.
    return QSize(280, 5);
}

Language DialogPreferences::language() const
{
    return Language(m_language->currentIndex());
}

void DialogPreferences::doOk()
{
    accept();
}

void DialogPreferences::doCancel()
{
    reject();
}
