#pragma once

#include "emulator/fileupload.h"
#include "emulator/printerstate.h"
#include "emulator/rasterspool.h"
#include "protocol/packetcodec.h"
#include "protocol/packetreceiver.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class QRandomGenerator;

// The printer's end of one connection, over bytes and without a socket: takes the chunks the
// tool sent, decodes them the way the printer does, and builds the packets that go back.
// After a BeginFileUpload it answered "ready", it takes the stated number of bytes raw (no
// framing, no encryption) as the file, then decodes packets again.
//
// On USB the raw print road shares the link: what is not a packet is a print stream. A
// command of it whose stated length runs past the read (a large NV image comes in several)
// is held and completed by the next reads, up to MaxHeldCommand bytes, as the printer reads
// it by its length.
class EmulatorProtocol
{
public:
    struct Event
    {
        enum class Kind { Hello, Request, KeepAlive, FileData, Dropped };
        Kind kind = Kind::Dropped;
        quint32 nonce = 0;  // Hello
        quint16 word = 0;   // Request with a command word
        QByteArray payload; // Hello, Request: the decrypted payload
        QVector<QByteArray> answers; // the whole packets to send back, in order
        QString received;   // log line: what arrived
        QStringList notes;  // log lines: what the printer did with it
        QString reply;      // log line: what goes back or why nothing does; may be empty
    };

    // silent and wrongKey: the tool reads no answer, so a "ready" answer starts no upload.
    // The largest command held across reads: a GS ( L with the largest two-byte length.
    static constexpr int MaxHeldCommand = 5 + 0xFFFF;

    explicit EmulatorProtocol(PrinterState &state, bool wrongKey = false, bool silent = false);
    ~EmulatorProtocol();

    // Decodes one chunk as read from the connection, with the tool's own calling contract:
    // receive on the unconsumed rest until it consumes nothing, then drop what is left.
    QVector<Event> feed(const QByteArray &chunk);

    bool hasSession() const { return m_hasSession; }
    const PacketCodec::Key &sessionKey() const { return m_sessionKey; }
    // The upload under way or awaiting its commit; null when none.
    const FileUpload *upload() const { return m_upload.get(); }
    // Where the print streams' NV images and printouts are saved as PNG files; empty: nowhere.
    void setSpoolDir(const QString &dir) { m_spool.setDir(dir); }

    // Ends the upload as the connection goes: a log line, or empty when there was none.
    QString abandonUpload();

    // A burst of what a flooded link carries besides keep-alives, all of which the tool must
    // drop: a whole packet that does not decrypt with the session key, random bytes, a header
    // with an invalid block count, a handshake header over a body too short to be a device
    // record, and a lone signature. Its length is a multiple of 4, like every packet's.
    QByteArray garbage(QRandomGenerator &random) const;

    // "0x0001 GetDeviceInfo", "0x1234 unknown".
    static QString describeWord(quint16 word);

private:
    Event hello(const uchar *payload, int length);
    Event request(const uchar *payload, int length);
    void startUpload(const PrinterState::Answer &answer, Event &e);
    quint32 takeFileData(const uchar *data, quint32 length, QVector<Event> &events);
    Event dropped(const uchar *data, quint32 length);
    int completeHeld(const QByteArray &chunk, QVector<Event> &events);
    void print(const QByteArray &stream, Event &e);
    QByteArray seal(const QByteArray &payload) const;
    QByteArray sealWithWrongKey(const QByteArray &payload) const;

    PrinterState &m_state;
    bool m_wrongKey;
    bool m_silent;
    PacketReceiver m_receiver;
    PacketCodec::Key m_sessionKey{};
    bool m_hasSession = false;
    std::unique_ptr<FileUpload> m_upload;
    // A packet start too short to decode, left where an upload's bytes ended.
    QByteArray m_carry;
    QByteArray m_held; // the start of a print command waiting for the rest of its bytes
    RasterSpool m_spool;
};
