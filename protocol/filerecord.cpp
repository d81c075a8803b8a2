#include "protocol/filerecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmdword.h"

#include <openssl/evp.h>

#include <cstring>

namespace {
// Where the fields sit, in the request and in the answer alike.
constexpr int StatusOffset = 2, PathOffset = 4, SizeOffset = 132, DigestOffset = 136;
// ListFiles and DeleteFile carry the path, a listing entry the name, right after the word.
constexpr int NameOffset = HostCmdWordSize;
} // namespace

QByteArray FileRecord::toBytes(quint16 word) const
{
    using namespace ByteFields;
    QByteArray bytes(Size, '\0');
    putU16(bytes, 0, word);
    putText(bytes, PathOffset, PathSize, path);
    putU32(bytes, SizeOffset, size);
    if (word == HostCmdWord::CommitFileUpload)
        std::memcpy(bytes.data() + DigestOffset, digest.constData(), size_t(qMin(digest.size(), DigestSize)));
    return bytes;
}

bool FileRecord::decode(const QByteArray &response, FileRecord *record)
{
    using namespace ByteFields;
    if (response.size() < Size)
        return false;
    record->status = u16(response, StatusOffset);
    record->path = text(response, PathOffset);
    record->size = u32(response, SizeOffset);
    record->digest = response.mid(DigestOffset, DigestSize);
    return true;
}

QByteArray FileRecord::pathRecord(quint16 word, const QByteArray &path)
{
    QByteArray bytes(PathRecordSize, '\0');
    ByteFields::putU16(bytes, 0, word);
    ByteFields::putText(bytes, NameOffset, PathSize, path);
    return bytes;
}

bool FileRecord::decodeListFilesEntry(const QByteArray &response, QByteArray *name, quint32 *size)
{
    if (response.size() < ListFilesEntryMinSize)
        return false;
    *name = ByteFields::text(response, NameOffset);
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
