#pragma once

#include "print/fontupload.h"
#include "protocol/fontscriptrecord.h"

#include <QByteArray>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>

class QLabel;
class QProgressDialog;
class QPushButton;
class QTableWidget;

// The printer's fonts: one font setting per script in the upper table, written back with
// Apply, and the font files in the printer's font folder below, to which Install Font uploads
// a local file and from which Uninstall Font removes one. Lives for one modal run; both
// tables are rebuilt from the printer at every refresh.
class DialogFontSettings : public QDialog
{
    Q_OBJECT

public:
    enum Column {
        ColEnabled, ColScript, ColLanguage, ColFont, ColFaceIndex, ColThreshold, ColPixelWidth,
        ColPixelHeight, ColAdvance, ColCt, ColPx, ColAd, ColRanges, ColumnCount
    };
    static constexpr int StartDelayMs = 200;
    static constexpr int RefreshHoldMs = 1000;
    // The printer does not answer a commit: the file listed with its size, this soon after,
    // is the sign that it took the file and its digest.
    static constexpr int ListingWaitMs = 5000;
    static const char FontFolder[]; // "/data/PUB/fonts/"

    explicit DialogFontSettings(QWidget *parent = nullptr);
    ~DialogFontSettings() override;

    QSize sizeHint() const override;

    // The row a record fills, and the record a row sends back.
    void appendScriptRow(const FontScriptRecord &record);
    FontScriptRecord scriptRecord(int row) const;
    // The printer path of a local file name, or empty when it does not fit the 127 bytes.
    static QByteArray remotePath(const QString &fileName);

    // Install Font without the file dialog: reads the file and asks the printer to take it.
    // False when nothing was asked (no such file, empty, a name too long, or a cancelled
    // upload's link still being restarted).
    bool installFont(const QString &localFile);

    QTableWidget *scriptTable() const { return m_scriptTable; }
    QTableWidget *installedTable() const { return m_installedTable; }
    QPushButton *refreshButton() const { return m_refresh; }
    QPushButton *applyButton() const { return m_apply; }
    const QStringList &installedNames() const { return m_installedNames; }
    QProgressDialog *progressDialog() const;
    bool uploading() const { return m_upload && m_upload->running(); }

public slots:
    void doRefresh();
    void doAddFont();
    void doRemoveFont();
    void doApply();
    void doResetToDefault();
    void doClose();
    void onCellChanged(int row, int column);
    void onUploadProgress(quint32 written, quint32 size);
    void onUploadFinished(FontUpload::State outcome);
    void handleResponse(QByteArray response);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void refreshFontScripts();
    void refreshInstalledFonts();
    void refuseLongName(const QString &name);
    // An outcome on the activity line, the file named in full (text's one placeholder left,
    // the last in number); with an icon, in a message box too, a long name elided.
    void tell(const QString &text, const QString &name, QMessageBox::Icon icon = QMessageBox::NoIcon);

    QLabel *m_scriptLabel;
    QLabel *m_installedLabel;
    QTableWidget *m_scriptTable;
    QTableWidget *m_installedTable;
    QPushButton *m_refresh;
    QPushButton *m_install;
    QPushButton *m_uninstall;
    QPushButton *m_apply;
    QPushButton *m_reset;
    QPushButton *m_close;
    QStringList m_installedNames;
    QPointer<QProgressDialog> m_progress;
    QPointer<FontUpload> m_upload;
    QString m_uploadName; // the local file's name
    // The committed file, as the printer names it, until the listing shows it.
    QString m_awaitedName;
    quint32 m_awaitedSize = 0;
    int m_listingTimerId = 0;
    int m_startTimerId = 0;
    int m_refreshTimerId = 0;
};
