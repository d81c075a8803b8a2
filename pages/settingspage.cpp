#include "pages/settingspage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SettingsPage::SettingsPage(QWidget *parent)
    : QWidget(parent)
    , m_form(new QFormLayout)
    , m_buttons(new QHBoxLayout)
    , m_saveButton(new QPushButton(tr("Save"), this))
{
    m_form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_form->setFormAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_buttons->addStretch();
    m_buttons->addWidget(m_saveButton, 0, Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addLayout(m_buttons);
    layout->addStretch();

    connect(m_saveButton, &QPushButton::clicked, this, &SettingsPage::doSave);
}

void SettingsPage::addButton(QPushButton *button)
{
    m_buttons->insertWidget(m_buttons->count() - 1, button, 0, Qt::AlignRight | Qt::AlignVCenter);
}

void SettingsPage::doSave()
{
    m_saveButton->setEnabled(false);
}

void SettingsPage::onSettingsChanged()
{
    m_saveButton->setEnabled(true);
}

QLineEdit *SettingsPage::readOnlyField()
{
    auto *field = new QLineEdit(this);
    field->setFrame(false);
    field->setReadOnly(true);
    field->setCursor(Qt::IBeamCursor);
    return field;
}

void SettingsPage::selectData(QComboBox *box, int value)
{
    box->setCurrentIndex(qMax(0, box->findData(value, Qt::UserRole, Qt::MatchExactly)));
}

void SettingsPage::setFocusChain(const QList<QWidget *> &widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *w : widgets) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
}
