#pragma once

#include <QByteArray>

// The file commands of the font upload: path records, the upload record and the listing.
struct FileRecord
{
    static constexpr int Size = 152;
    static constexpr int PathRecordSize = 130;
    static constexpr int PathSize = 128;
    static constexpr int DigestSize = 16;
    static constexpr int ListFilesEntryMinSize = 134;

    quint16 status = 0; // in an answer: 0 ready to receive, anything else refused
    QByteArray path;
    quint32 size = 0;
    QByteArray digest; // MD5 of the whole file, CommitFileUpload only

    // BeginFileUpload or CommitFileUpload; the digest is sent only with the latter.
    QByteArray toBytes(quint16 word) const;
    // The answer to BeginFileUpload. False when shorter than Size.
    static bool decode(const QByteArray &response, FileRecord *record);

    // ListFiles (a directory) and DeleteFile (a file): the word and a 128-byte path.
    static QByteArray pathRecord(quint16 word, const QByteArray &path);
    // One answer to ListFiles: a file name and its size. False when shorter than its size.
    static bool decodeListFilesEntry(const QByteArray &response, QByteArray *name, quint32 *size);

    // The 16-byte MD5 digest CommitFileUpload carries.
    static QByteArray md5(const QByteArray &data);
};
