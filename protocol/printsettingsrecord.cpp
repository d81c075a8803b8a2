#include "protocol/printsettingsrecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmd.h"

#include <cmath>

namespace {

constexpr qint32 BlackMarkParameterA = 2000;
constexpr qint32 BlackMarkParameterB = 100;
constexpr int DotsPerMm = 8;

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
    putU8(bytes, 3, cjk);
    putU8(bytes, 4, codePage);
    putU8(bytes, 5, utf8Mode);
    putU8(bytes, 6, density);
    putU8(bytes, 7, quint8(~quality));
    putU32(bytes, 8, paperType);
    if (paperType == PaperBlackMark) {
        putI32(bytes, 12, BlackMarkParameterA);
        putI32(bytes, 16, BlackMarkParameterB);
        putI32(bytes, 20, tenths(printPositionMm));
        putI32(bytes, 24, tenths(cutPositionMm));
    }
    putU32(bytes, 40, feedEnabled ? quint32(feedMm * DotsPerMm) : 0);
    putU8(bytes, 44, blackMarkLocation);
    putU8(bytes, 45, quint8((stopPrinting ? 1 : 0) | (voiceAlert ? 2 : 0)));
    return bytes;
}

bool PrintSettingsRecord::decode(const QByteArray &response, PrintSettingsRecord *record)
{
    using namespace ByteFields;
    if (response.size() < Size)
        return false;
    record->cjk = u8(response, 3);
    record->codePage = u8(response, 4);
    record->utf8Mode = u8(response, 5);
    record->density = u8(response, 6);
    record->quality = quint8(~u8(response, 7));
    record->paperType = u32(response, 8);
    record->printPositionMm = i32(response, 20) / 10.0;
    record->cutPositionMm = i32(response, 24) / 10.0;
    const quint32 feed = u32(response, 40);
    record->feedEnabled = feed != 0;
    if (feed != 0)
        record->feedMm = int(feed >> 3);
    record->blackMarkLocation = u8(response, 44);
    const quint8 flags = u8(response, 45);
    record->stopPrinting = flags & 1;
    record->voiceAlert = flags & 2;
    return true;
}
