#include "protocol/nvimagelist.h"

#include "protocol/bytefields.h"

bool NvImageList::decode(const QByteArray &response, NvImageList *list)
{
    using namespace ByteFields;
    if (response.size() < MinSize)
        return false;
    list->identity = u32(response, 2);
    list->memorySize = u32(response, 6);
    list->statedCount = u16(response, 12);
    const int held = qMin<int>(MaxImages, (response.size() - EntriesOffset) / EntrySize);
    const int count = qMin<int>(list->statedCount, held);
    list->images.clear();
    list->images.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int at = EntriesOffset + i * EntrySize;
        list->images.append({response.mid(at, 2), u32(response, at + 2)});
    }
    return true;
}
