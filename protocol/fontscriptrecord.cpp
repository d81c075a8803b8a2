#include "protocol/fontscriptrecord.h"

#include "protocol/bytefields.h"

#include <QStringList>

using namespace ByteFields;

namespace {
constexpr int ScriptOffset = 6, LanguageOffset = 38, FontOffset = 42, RangesOffset = 118;
} // namespace

QByteArray FontScriptRecord::toBytes(quint16 word) const
{
    QByteArray bytes(Size, '\0');
    putU16(bytes, 0, word);
    putU8(bytes, 2, enabled ? 1 : 0);
    putU8(bytes, 3, ct);
    putU8(bytes, 4, px);
    putU8(bytes, 5, ad);
    putText(bytes, ScriptOffset, ScriptSize, script);
    putText(bytes, LanguageOffset, LanguageSize, language);
    putText(bytes, FontOffset, FontSize, font);
    putI32(bytes, 106, faceIndex);
    putU16(bytes, 110, threshold);
    putU16(bytes, 112, pixelWidth);
    putU16(bytes, 114, pixelHeight);
    putU16(bytes, 116, advance);
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
    r.enabled = u8(bytes, 2) != 0;
    r.ct = u8(bytes, 3);
    r.px = u8(bytes, 4);
    r.ad = u8(bytes, 5);
    // Each text stops at its own field's end, even when the printer filled it without a zero.
    r.script = text(bytes.left(LanguageOffset), ScriptOffset);
    r.language = text(bytes.left(FontOffset), LanguageOffset);
    r.font = text(bytes.left(106), FontOffset);
    r.faceIndex = i32(bytes, 106);
    r.threshold = u16(bytes, 110);
    r.pixelWidth = u16(bytes, 112);
    r.pixelHeight = u16(bytes, 114);
    r.advance = u16(bytes, 116);
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
