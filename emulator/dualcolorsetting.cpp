#include "emulator/dualcolorsetting.h"

namespace {

constexpr uchar Gs = 0x1D;
constexpr uchar ModeFunction = 0x0B, EnergyFunction = 0x0C, RatioFunction = 0x0D;

} // namespace

int DualColorSetting::apply(const QByteArray &stream)
{
    const auto *b = reinterpret_cast<const uchar *>(stream.constData());
    const qint64 n = stream.size();
    const auto u16 = [b](qint64 at) { return quint16(b[at] | b[at + 1] << 8); };
    int found = 0;
    qint64 i = 0;
    while (i < n) {
        if (b[i] != Gs || i + 1 >= n) {
            ++i;
            continue;
        }
        const uchar c = b[i + 1];
        if (c == '(' && i + 4 < n) {
            // GS ( fn pL pH, then pL + 256 pH bytes: the function code and its parameters.
            const qint64 length = u16(i + 3);
            const qint64 body = i + 5;
            if (b[i + 2] == 'E' && length >= 2 && body + length <= n) {
                const uchar function = b[body];
                if (function == ModeFunction) {
                    const uchar m = b[body + 1];
                    if (m == 0 || m == '0' || m == 1 || m == '1') {
                        enabled = m == 1 || m == '1';
                        ++found;
                    }
                } else if (length >= 3 && function == EnergyFunction) {
                    energy = u16(body + 1);
                    ++found;
                } else if (length >= 3 && function == RatioFunction) {
                    blackRatio = u16(body + 1);
                    ++found;
                }
            }
            i = body + length;
        } else if (c == '8' && i + 6 < n && b[i + 2] == 'L') {
            // GS 8 L p1 p2 p3 p4: a 32-bit length.
            const qint64 length = qint64(u16(i + 3)) | qint64(u16(i + 5)) << 16;
            i += 7 + length;
        } else if (c == 'v' && i + 7 < n && b[i + 2] == '0') {
            // GS v 0 m xL xH yL yH: x bytes a row, y rows.
            i += 8 + qint64(u16(i + 4)) * u16(i + 6);
        } else {
            ++i;
        }
    }
    return found;
}

QString DualColorSetting::text() const
{
    return QStringLiteral("dual-color mode %1, energy %2, black ratio %3")
        .arg(enabled ? QStringLiteral("on") : QStringLiteral("off"))
        .arg(energy)
        .arg(blackRatio);
}
