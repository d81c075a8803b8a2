#pragma once

#include <QByteArray>
#include <QString>

// The printer's dual-color printing setting, as the ESC/POS setup sequences of a print
// stream set it: GS ( E with function 11 (mode, 1 byte), 12 (printing energy, 16-bit) or
// 13 (black ratio, 16-bit), little-endian.
struct DualColorSetting
{
    bool enabled = false;
    quint16 energy = 0;
    quint16 blackRatio = 0;

    // Applies every setup sequence in the stream, in order; returns how many there were.
    // Data blocks of the image commands the tool sends (GS ( L, GS 8 L, GS v 0) are skipped
    // by their stated lengths, so image bytes never read as a sequence.
    int apply(const QByteArray &stream);

    // "dual-color mode on, energy 1800, black ratio 192".
    QString text() const;

    bool operator==(const DualColorSetting &o) const
    {
        return enabled == o.enabled && energy == o.energy && blackRatio == o.blackRatio;
    }
    bool operator!=(const DualColorSetting &o) const { return !(*this == o); }
};
