#include "emulator/dualcolorsetting.h"

#include "emulator/escposwalker.h"

namespace {

constexpr uchar ModeFunction = 0x0B, EnergyFunction = 0x0C, RatioFunction = 0x0D;

} // namespace

int DualColorSetting::apply(const QByteArray &stream)
{
    const auto *b = reinterpret_cast<const uchar *>(stream.constData());
    int found = 0;
    EscPosWalker walker(stream);
    EscPosWalker::Command c;
    while (walker.next(&c)) {
        // GS ( E pL pH fn parameters.
        if (c.kind != EscPosWalker::Kind::Function || c.letter != 'E' || c.length < 2 || !walker.isComplete(c))
            continue;
        const qint64 body = c.body();
        const uchar function = b[body];
        if (function == ModeFunction) {
            const uchar m = b[body + 1];
            if (m == 0 || m == '0' || m == 1 || m == '1') {
                enabled = m == 1 || m == '1';
                ++found;
            }
        } else if (c.length >= 3 && function == EnergyFunction) {
            energy = walker.u16(body + 1);
            ++found;
        } else if (c.length >= 3 && function == RatioFunction) {
            blackRatio = walker.u16(body + 1);
            ++found;
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
