#pragma once

#include "app/language.h"

#include <QDialog>

class QComboBox;
class QPushButton;

// Picks the language of the user interface for the next start.
class DialogPreferences : public QDialog
{
    Q_OBJECT

public:
    explicit DialogPreferences(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    Language language() const;

public slots:
    void doOk();
    void doCancel();

private:
    QComboBox *m_language;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
