#pragma once

#include <QByteArray>

// Fine print mode as SetFinePrintMode sends it and GetFinePrintMode answers it.
struct FinePrintModeRecord
{
    static constexpr int Size = 3;
    static constexpr quint8 On = 2;

    bool enabled = false;

    QByteArray toBytes() const;
    // Any non-zero mode is on. False, and *record untouched, when shorter than Size.
    static bool decode(const QByteArray &response, FinePrintModeRecord *record);
};
