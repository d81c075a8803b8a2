#pragma once

#include <QByteArray>

// The printer's own serial port as SetSerialSettings sends it and GetSerialSettings
// answers it: four signed 32-bit values.
struct SerialSettingsRecord
{
    static constexpr int Size = 18;
    enum Parity { ParityNone = 0, ParityOdd = 1, ParityEven = 2 };

    qint32 baudRate = 115200;
    qint32 dataBits = 8;
    qint32 stopBits = 1;
    qint32 parity = ParityNone;

    QByteArray toBytes() const;
    // False, and *record untouched, when the response is shorter than Size.
    static bool decode(const QByteArray &response, SerialSettingsRecord *record);
};
