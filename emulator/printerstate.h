#pragma once

#include "protocol/hostcmddevinfo.h"

#include <QByteArray>
#include <QString>

// The emulated printer's identity and settings, and the answers built from them.
class PrinterState
{
public:
    QString project = QStringLiteral("RX210");
    QString model = QStringLiteral("RX220_S");
    QString serialNumber = QStringLiteral("ZR2108A0001234");
    QString hardwareVersion = QStringLiteral("HW-2.1");
    QString bootloaderVersion = QStringLiteral("BL-1.0.4");
    QString firmwareVersion = QStringLiteral("FW-3.2.17");
    QString appVersion = QStringLiteral("APP-2.8.0");
    QString partnerAppVersion = QStringLiteral("PAPP-1.3.2");
    QString miniAppVersion = QStringLiteral("MAPP-0.9.6");
    QString fontVersion = QStringLiteral("FONT-2024.06");
    QString ttsVersion = QStringLiteral("TTS-1.2");

    host_cmd_dev_info_t deviceRecord() const;

    // The answer to one decoded request, or an empty array when the request gets none.
    QByteArray answer(const QByteArray &request);
};

// Writes text as a NUL-terminated single-byte field of the given size.
void putText(QByteArray &record, int offset, int size, const QString &text);
