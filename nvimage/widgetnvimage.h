#pragma once

#include <QByteArray>
#include <QList>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

// The NV Image tab: the graphics in the printer's non-volatile memory by key code, the
// memory they use, and Download (through DialogDownloadNvImage), Print, Delete and Delete
// All. Every change is followed, half a second later, by a fresh list query.
class WidgetNvImage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int RefreshDelayMs = 500;
    // How often, and how many times at most, the refresh looks again for printouts still
    // going out over the network.
    static constexpr int PrintWaitMs = 50;
    static constexpr int MaxPrintWaits = 100;

    explicit WidgetNvImage(QWidget *parent = nullptr);

    // A GetNvImageList answer: a new identity replaces the rows, the same one adds to them.
    void setNvImageList(const QByteArray &response);
    // No list at all, as before the first answer (another printer is coming).
    void clear();

    QTableWidget *table() const { return m_table; }
    QLabel *usageLabel() const { return m_usageLabel; }
    QPushButton *printButton() const { return m_print; }
    QPushButton *deleteButton() const { return m_delete; }
    const QList<quint16> &keyCodes() const { return m_keyCodes; }
    quint32 used() const { return m_used; }
    quint32 total() const { return m_total; }

public slots:
    void doDownload();
    void doPrint();
    void doDelete();
    void doDeleteAll();
    void onNvImagesItemSelectionChanged();

private:
    int selectedRows() const;
    void resetList(quint32 identity, quint32 memorySize);
    void showUsage();
    void refreshLater();
    void refreshWhenPrinted();

    QTableWidget *m_table;
    QProgressBar *m_usageBar;
    QLabel *m_usageLabel;
    QPushButton *m_download;
    QPushButton *m_print;
    QPushButton *m_delete;
    QPushButton *m_deleteAll;
    QList<quint16> m_keyCodes;
    quint32 m_identity = 0;
    quint32 m_total = 0;
    quint32 m_used = 0;
    int m_printWaits = 0;
};
