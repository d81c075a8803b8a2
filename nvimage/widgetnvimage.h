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
    // What the list after a change should show, told once that list is in.
    struct Expected
    {
        enum Kind { Nothing, Stored, Deleted, AllDeleted } kind = Nothing;
        QList<quint16> keyCodes;
        bool asked = false; // the list query has gone out
    };

    int selectedRows() const;
    QString keyText(quint16 keyCode) const;
    bool confirmed(const QString &question);
    void send(const QByteArray &bytes, const QString &what);
    void onSent(bool sent, const QString &outcome);
    void warn(const QString &text);
    void expect(Expected::Kind kind, const QList<quint16> &keyCodes);
    void confirm();
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
    Expected m_expected;
    int m_failedSends = 0;
    bool m_warning = false; // a warning box is up or on its way
};
