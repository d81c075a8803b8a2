#include "protocol/fontscriptrecord.h"

#include "protocol/bytefields.h"

#include <QStringList>

using namespace ByteFields;

namespace {
// Where the fields sit, in the request and in the answer alike.
constexpr int EnabledOffset = 2, CtOffset = 3, PxOffset = 4, AdOffset = 5, ScriptOffset = 6,
              LanguageOffset = 38, FontOffset = 42, FaceIndexOffset = 106, ThresholdOffset = 110,
              PixelWidthOffset = 112, PixelHeightOffset = 114, AdvanceOffset = 116, RangesOffset = 118;
} // namespace

QByteArray FontScriptRecord::toBytes(quint16 word) const
{
    QByteArray bytes(Size, '\0');
    putU16(bytes, 0, word);
    putU8(bytes, EnabledOffset, enabled ? 1 : 0);
    putU8(bytes, CtOffset, ct);
    putU8(bytes, PxOffset, px);
    putU8(bytes, AdOffset, ad);
    putText(bytes, ScriptOffset, ScriptSize, script);
    putText(bytes, LanguageOffset, LanguageSize, language);
    putText(bytes, FontOffset, FontSize, font);
    putI32(bytes, FaceIndexOffset, faceIndex);
    putU16(bytes, ThresholdOffset, threshold);
    putU16(bytes, PixelWidthOffset, pixelWidth);
    putU16(bytes, PixelHeightOffset, pixelHeight);
    putU16(bytes, AdvanceOffset, advance);
    for (int i = 0; i < ranges.size() && i < MaxRanges; ++i) {
        putU32(bytes, RangesOffset + 8 * i, ranges[i].first);
        putU32(bytes, RangesOffset + 8 * i + 4, ranges[i].second);
    }
    return bytes;
}

bool FontScriptRecord::decode(const QByteArray &bytes, FontScriptRecord *record)
{
    if (bytes.size() < Size)
        return false;
    FontScriptRecord r;
    r.enabled = u8(bytes, EnabledOffset) != 0;
    r.ct = u8(bytes, CtOffset);
    r.px = u8(bytes, PxOffset);
    r.ad = u8(bytes, AdOffset);
    // Each text stops at its own field's end, even when the printer filled it without a zero.
    r.script = text(bytes.left(LanguageOffset), ScriptOffset);
    r.language = text(bytes.left(FontOffset), LanguageOffset);
    r.font = text(bytes.left(FaceIndexOffset), FontOffset);
    r.faceIndex = i32(bytes, FaceIndexOffset);
    r.threshold = u16(bytes, ThresholdOffset);
    r.pixelWidth = u16(bytes, PixelWidthOffset);
    r.pixelHeight = u16(bytes, PixelHeightOffset);
    r.advance = u16(bytes, AdvanceOffset);
    for (int i = 0; i < MaxRanges; ++i) {
        const quint32 first = u32(bytes, RangesOffset + 8 * i);
        if (first == 0)
            break;
        r.ranges.append({first, u32(bytes, RangesOffset + 8 * i + 4)});
    }
    *record = r;
    return true;
}

QString FontScriptRecord::rangesText(const QVector<Range> &ranges)
{
    QStringList parts;
    for (const Range &r : ranges)
        parts << QStringLiteral("U+%1~U+%2")
                     .arg(r.first, 4, 16, QLatin1Char('0'))
                     .arg(r.second, 4, 16, QLatin1Char('0'))
                     .toUpper();
    return parts.join(QLatin1Char(';'));
}
