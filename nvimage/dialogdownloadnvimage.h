#pragma once

#include "pages/tcprawprint.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QPointer>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;

// Turns an image file into a one-bit raster for the printer: size in dots, one of three
// ditherings, a preview; then prints it once or stores it in NV memory under a two-character
// key code. Run modally by the NV image page, which refreshes its list when this is accepted.
class DialogDownloadNvImage : public QDialog
{
    Q_OBJECT

public:
    DialogDownloadNvImage(const QList<quint16> &existingKeyCodes, QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // Who hears how the Download's bytes went, beside the activity line: the page, which
    // outlives the dialog and confirms the image from its next list.
    void setDownloadOutcome(QObject *context, const RawPrintDone &done);
    // The key code the accepted dialog downloaded to, (first << 8) | second.
    quint16 downloadedKeyCode() const { return m_downloaded; }

    // Browse without the file dialog. False, and the previous image kept, when the file is
    // not a readable image.
    bool openImage(const QString &file);
    // The rest of opening once the image is loaded: enabling, information, fit and preview.
    void setSourceImage(const QImage &image);

    QRadioButton *diffuseButton() const { return m_diffuse; }
    QRadioButton *orderedButton() const { return m_ordered; }
    QRadioButton *thresholdButton() const { return m_threshold; }
    QSpinBox *widthBox() const { return m_width; }
    QSpinBox *heightBox() const { return m_height; }
    QCheckBox *keepAspectBox() const { return m_keepAspect; }
    QLineEdit *kc1Field() const { return m_kc1; }
    QLineEdit *kc2Field() const { return m_kc2; }
    QLabel *informationLabel() const { return m_information; }
    QPushButton *printButton() const { return m_print; }
    QPushButton *downloadButton() const { return m_download; }
    const QImage &oneBitImage() const { return m_oneBit; }

public slots:
    void doBrowse();
    void doPrint();
    void doDownload();
    void doClose();
    void onDitheringModeButtonClicked(int id);
    void onWidthValueChanged(int value);
    void onHeightValueChanged(int value);
    void onKeyCodeTextEdited();

private:
    void rebuildPreview();
    void setBoxGuarded(QSpinBox *box, int value);
    bool keyCodesFilled() const;
    bool oneBitUsable() const;

    QButtonGroup *m_dithering;
    QRadioButton *m_diffuse;
    QRadioButton *m_ordered;
    QRadioButton *m_threshold;
    QSpinBox *m_width;
    QSpinBox *m_height;
    QCheckBox *m_keepAspect;
    QLineEdit *m_kc1;
    QLineEdit *m_kc2;
    QGroupBox *m_ditheringBox;
    QGroupBox *m_sizeBox;
    QGroupBox *m_keyCodeBox;
    QLabel *m_preview;
    QLabel *m_information;
    QScrollArea *m_previewArea;
    QPushButton *m_browse;
    QPushButton *m_print;
    QPushButton *m_download;
    QPushButton *m_close;
    QList<quint16> m_existingKeyCodes;
    QImage m_source;
    QImage m_scaled;
    QImage m_oneBit;
    bool m_updating = false;
    int m_ditheringMode = -1;
    int m_dotsPerLine;
    QPointer<QObject> m_outcomeContext;
    RawPrintDone m_outcomeDone;
    quint16 m_downloaded = 0;
};
