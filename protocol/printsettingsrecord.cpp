#include "protocol/printsettingsrecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmdword.h"

#include <cmath>

namespace {

constexpr qint32 BlackMarkParameterA = 2000;
constexpr qint32 BlackMarkParameterB = 100;
constexpr int DotsPerMm = 8;

// Where the fields sit, in the request and in the answer alike.
constexpr int CjkOffset = 3, CodePageOffset = 4, Utf8ModeOffset = 5, DensityOffset = 6,
              QualityOffset = 7, PaperTypeOffset = 8, BlackMarkAOffset = 12, BlackMarkBOffset = 16,
              PrintPositionOffset = 20, CutPositionOffset = 24, FeedOffset = 40,
              BlackMarkLocationOffset = 44, FlagsOffset = 45;

// Tenths of a millimetre, cut toward zero. The spin boxes hold one decimal, so the product is
// an integer but for binary rounding (2.3 * 10 = 22.999...); the nudge keeps 2.3 at 23.
qint32 tenths(double mm)
{
    const double scaled = mm * 10.0;
    return qint32(std::trunc(scaled + (scaled < 0 ? -1e-6 : 1e-6)));
}

} // namespace

QByteArray PrintSettingsRecord::toBytes() const
{
    using namespace ByteFields;
    QByteArray bytes(Size, '\0');
    putU16(bytes, 0, HostCmdWord::SetPrintSettings);
    putU8(bytes, CjkOffset, cjk);
    putU8(bytes, CodePageOffset, codePage);
    putU8(bytes, Utf8ModeOffset, utf8Mode);
    putU8(bytes, DensityOffset, density);
    putU8(bytes, QualityOffset, quint8(~quality));
    putU32(bytes, PaperTypeOffset, paperType);
    if (paperType == PaperBlackMark) {
        putI32(bytes, BlackMarkAOffset, BlackMarkParameterA);
        putI32(bytes, BlackMarkBOffset, BlackMarkParameterB);
        putI32(bytes, PrintPositionOffset, tenths(printPositionMm));
        putI32(bytes, CutPositionOffset, tenths(cutPositionMm));
    }
    putU32(bytes, FeedOffset, feedEnabled ? quint32(feedMm * DotsPerMm) : 0);
    putU8(bytes, BlackMarkLocationOffset, blackMarkLocation);
    putU8(bytes, FlagsOffset, quint8((stopPrinting ? 1 : 0) | (voiceAlert ? 2 : 0)));
    return bytes;
}

bool PrintSettingsRecord::decode(const QByteArray &response, PrintSettingsRecord *record)
{
    using namespace ByteFields;
    if (response.size() < Size)
        return false;
    record->cjk = u8(response, CjkOffset);
    record->codePage = u8(response, CodePageOffset);
    record->utf8Mode = u8(response, Utf8ModeOffset);
    record->density = u8(response, DensityOffset);
    record->quality = quint8(~u8(response, QualityOffset));
    record->paperType = u32(response, PaperTypeOffset);
    record->printPositionMm = i32(response, PrintPositionOffset) / 10.0;
    record->cutPositionMm = i32(response, CutPositionOffset) / 10.0;
    const quint32 feed = u32(response, FeedOffset);
    record->feedEnabled = feed != 0;
    if (feed != 0)
        record->feedMm = int(feed >> 3);
    record->blackMarkLocation = u8(response, BlackMarkLocationOffset);
    const quint8 flags = u8(response, FlagsOffset);
    record->stopPrinting = flags & 1;
    record->voiceAlert = flags & 2;
    return true;
}
