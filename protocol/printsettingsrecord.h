#pragma once

#include <QByteArray>

// The print settings as SetPrintSettings sends them and GetPrintSettings answers them.
struct PrintSettingsRecord
{
    static constexpr int Size = 46;
    static constexpr quint32 PaperReceipt = 48;
    static constexpr quint32 PaperBlackMark = 113;

    quint8 cjk = 0;
    quint8 codePage = 0;
    quint8 utf8Mode = 0;
    quint8 density = 100;   // 70 to 130
    quint8 quality = 0;     // stored as its complement
    quint32 paperType = PaperReceipt;
    double printPositionMm = 0; // black-mark paper only, 0.1 mm steps
    double cutPositionMm = 0;   // black-mark paper only, 0.1 mm steps
    bool feedEnabled = false;   // feed and cut when the cover closes
    int feedMm = 0;
    quint8 blackMarkLocation = 1; // 1 side, 2 centre
    bool stopPrinting = false;
    bool voiceAlert = false;

    QByteArray toBytes() const;
    // False, and *record untouched, when the response is shorter than Size. A response
    // without feed leaves feedMm as it was, since the page keeps its spin box then.
    static bool decode(const QByteArray &response, PrintSettingsRecord *record);
};
