#pragma once

#include <QDialog>

class Diagnosis;
class QPlainTextEdit;
class QPushButton;

// Runs a diagnosis at once and shows its report, to read, copy into a message to support,
// or run again after a fix.
class DialogDiagnosis : public QDialog
{
    Q_OBJECT

public:
    explicit DialogDiagnosis(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    Diagnosis *diagnosis() const { return m_diagnosis; }
    QPlainTextEdit *reportEdit() const { return m_report; }
    QPushButton *copyButton() const { return m_copy; }
    QPushButton *runAgainButton() const { return m_runAgain; }

public slots:
    void doRunAgain();
    void doCopy();
    void doClose();

private:
    void onFinished();

    Diagnosis *m_diagnosis;
    QPlainTextEdit *m_report;
    QPushButton *m_copy;
    QPushButton *m_runAgain;
    QPushButton *m_close;
};
