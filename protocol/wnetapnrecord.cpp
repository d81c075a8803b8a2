#include "protocol/wnetapnrecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmdword.h"

QByteArray WnetApnRecord::toBytes() const
{
    using namespace ByteFields;
    QByteArray bytes(Size, '\0');
    putU16(bytes, 0, HostCmdWord::SetWnetApn);
    putU8(bytes, 2, useSpecificApn ? 1 : 0);
    putText(bytes, 4, ApnSize, apn.toLatin1());
    putText(bytes, 68, DialNumberSize, dialNumber.toLatin1());
    return bytes;
}
