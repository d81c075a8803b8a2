#pragma once

#include "protocol/audiosettingsrecord.h"
#include "protocol/fineprintmoderecord.h"
#include "protocol/printsettingsrecord.h"
#include "protocol/serialsettingsrecord.h"
#include "protocol/staticiprecord.h"
#include "protocol/wnetapnrecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The settings a printer holds that the tool can write, as its query answers tell them:
// one value object, filled answer by answer, that profiles are made from and compared with.
// The Wi-Fi password is not among them: no printer tells it.
struct PrinterSettings
{
    // Who the printer is, from the handshake (project, model, serial) or GetDeviceInfo.
    QString project;
    QString model;
    QString serialNumber;

    StaticIpRecord lanStaticIp;
    StaticIpRecord wifiStaticIp;
    QString wifiSsid;
    AudioSettingsRecord audio;
    SerialSettingsRecord serial;
    WnetApnRecord wnetApn;
    PrintSettingsRecord print;
    FinePrintModeRecord finePrint;

    // Bit (word - GetDeviceInfo) for each query word whose answer was taken.
    quint32 answered = 0;

    // Takes one decrypted answer; false for other words and answers shorter than their
    // word's minimum (nothing changes then).
    bool takeResponse(const QByteArray &response);
    // Every answer that carries a setting has been taken (GetNvImageList carries none).
    bool isComplete() const;

    // The nine queries, in the order the tool sends them.
    static QList<quint16> queryWords();
    // The Set requests (whole payloads, word first) that turn before into after: one per
    // record that differs, in the order the Save buttons would send them, SetWifiNetwork
    // (with wifiPassword) when the SSID differs. Equal settings give none.
    static QList<QByteArray> setRequests(const PrinterSettings &before, const PrinterSettings &after,
                                         const QString &wifiPassword);
};
