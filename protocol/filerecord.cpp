#include "protocol/filerecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmd.h"

#include <openssl/evp.h>

#include <cstring>

QByteArray FileRecord::toBytes(quint16 word) const
{
    using namespace ByteFields;
    QByteArray bytes(Size, '\0');
    putU16(bytes, 0, word);
    putText(bytes, 4, PathSize, path);
    putU32(bytes, 132, size);
    if (word == HostCmdWord::CommitFileUpload)
        std::memcpy(bytes.data() + 136, digest.constData(), size_t(qMin(digest.size(), DigestSize)));
    return bytes;
}

bool FileRecord::decode(const QByteArray &response, FileRecord *record)
{
    using namespace ByteFields;
    if (response.size() < Size)
        return false;
    record->status = u16(response, 2);
    record->path = text(response, 4);
    record->size = u32(response, 132);
    record->digest = response.mid(136, DigestSize);
    return true;
}

QByteArray FileRecord::pathRecord(quint16 word, const QByteArray &path)
{
    QByteArray bytes(PathRecordSize, '\0');
    ByteFields::putU16(bytes, 0, word);
    ByteFields::putText(bytes, 2, PathSize, path);
    return bytes;
}

bool FileRecord::decodeListFilesEntry(const QByteArray &response, QByteArray *name, quint32 *size)
{
    if (response.size() < ListFilesEntryMinSize)
        return false;
    *name = ByteFields::text(response, 2);
    *size = ByteFields::u32(response, 130);
    return true;
}

QByteArray FileRecord::md5(const QByteArray &data)
{
    QByteArray digest(DigestSize, '\0');
    unsigned int size = 0;
    EVP_Digest(data.constData(), size_t(data.size()), reinterpret_cast<unsigned char *>(digest.data()),
               &size, EVP_md5(), nullptr);
    return digest;
}
