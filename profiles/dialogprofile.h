#pragma once

#include "profiles/printersettings.h"
#include "profiles/profile.h"

#include <QDialog>
#include <QString>

class ProfileApply;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

// A profile beside the connected printer, one row per setting the profile holds: what the
// printer has and what the profile says, the differences marked. In apply mode it also has an
// Apply button and a Result column; the window sends the settings and hands the outcome back
// (showResults), so the dialog never talks to the printer itself.
class DialogProfile : public QDialog
{
    Q_OBJECT

public:
    enum Mode { Compare, Apply };
    enum Column { ColumnMark, ColumnSetting, ColumnPrinter, ColumnProfile, ColumnResult, ColumnCount };

    // fileName: as the user knows the file, shown above the table.
    DialogProfile(const Profile &profile, const PrinterSettings &printer, Mode mode,
                  const QString &fileName, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    const Profile &profile() const { return m_profile; }
    QTableWidget *table() const { return m_table; }
    QLabel *summaryLabel() const { return m_summary; }
    // Null in compare mode.
    QPushButton *applyButton() const { return m_apply; }
    QPushButton *closeButton() const { return m_close; }
    QCheckBox *differencesOnlyBox() const { return m_differencesOnly; }

    // The settings are on their way: Apply is off until the outcome comes.
    void showApplying();
    // Each row's outcome in the Result column, and the summary above the table.
    void showResults(const ProfileApply &apply);

signals:
    void applyRequested();

public slots:
    void doApply();
    void doClose();

private:
    void fillTable();
    void showDifferencesOnly(bool only);
    // The row of a key, -1 for none.
    int rowOf(const QString &key) const;
    void setResult(int row, const QString &text, bool failed);
    // Each row's outcome; before the settings are sent, those to send say so.
    void showOutcomes(const ProfileApply &apply, bool sent);
    QString modelName() const;

    Profile m_profile;
    PrinterSettings m_printer;
    Mode m_mode;
    QLabel *m_source;
    QLabel *m_summary;
    QTableWidget *m_table;
    QPushButton *m_apply = nullptr;
    QPushButton *m_close;
    QCheckBox *m_differencesOnly;
};
