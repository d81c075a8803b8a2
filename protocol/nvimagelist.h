#pragma once

#include <QByteArray>
#include <QVector>

// The answer to GetNvImageList: the images in the printer's NV memory.
struct NvImageList
{
    static constexpr int MinSize = 398;
    static constexpr int MaxImages = 64;
    static constexpr int EntriesOffset = 14;
    static constexpr int EntrySize = 6;

    struct Image
    {
        QByteArray keyCode; // two characters
        quint32 size = 0;
    };

    quint32 identity = 0;
    quint32 memorySize = 0;
    // At most the entries the response holds: a count beyond them is cut to what is there.
    QVector<Image> images;
    quint16 statedCount = 0;

    // False, and *list untouched, when the response is shorter than MinSize.
    static bool decode(const QByteArray &response, NvImageList *list);
};
