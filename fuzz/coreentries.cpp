// The entries that need the protocol core alone, and the emulator where they drive it.
#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzstream.h"

#include "emulator/emulatorprotocol.h"
#include "emulator/printerstate.h"
#include "protocol/discoveryanswer.h"
#include "protocol/filerecord.h"
#include "protocol/fontscriptrecord.h"
#include "protocol/hostcmddevinfo.h"
#include "protocol/hostcmdword.h"
#include "protocol/nvimagelist.h"

#include <QCoreApplication>
#include <QtEndian>


namespace FuzzEntries {

void initializeCore(int *argc, char ***argv)
{
    if (!QCoreApplication::instance())
        new QCoreApplication(*argc, *argv); // kept: the fuzzer never returns from its loop
}

int discoveryAnswer(const uint8_t *data, size_t size)
{
    const QByteArray datagram = bytes(data, size);
    const DiscoveryAnswer answer = DiscoveryAnswer::fromDatagram(datagram);
    using Info = host_cmd_dev_info_t;
    const std::pair<int, QString> texts[] = {
        {Info::ProjectOffset, answer.project}, {Info::ModelOffset, answer.model}, {Info::SnOffset, answer.sn}};
    // A text runs from its offset to the next zero, within the datagram.
    for (const auto &[offset, text] : texts)
        FUZZ_CHECK(text == QString::fromLatin1(datagram.mid(offset).split('\0').first()));
    return 0;
}

int nvImageList(const uint8_t *data, size_t size)
{
    NvImageList list;
    NvImageList::decode(bytes(data, size), &list);
    FUZZ_CHECK(list.images.size() <= NvImageList::MaxImages);
    for (const NvImageList::Image &image : list.images)
        FUZZ_CHECK(image.keyCode.size() == 2); // the page reads both characters unchecked
    return 0;
}

int fontRecords(const uint8_t *data, size_t size)
{
    const QByteArray response = bytes(data, size);
    FontScriptRecord record;
    if (FontScriptRecord::decode(response, &record)) {
        // What the dialog sends back decodes to what it read, but for texts that filled their
        // whole field (a sent text keeps room for its zero); so a second round trip is exact.
        const QByteArray sent = record.toBytes(HostCmdWord::SetFontScript);
        FontScriptRecord again;
        FUZZ_CHECK(FontScriptRecord::decode(sent, &again) && again.toBytes(HostCmdWord::SetFontScript) == sent);
        FUZZ_CHECK(again.script == record.script.left(FontScriptRecord::ScriptSize - 1)
                   && again.ranges == record.ranges);
        FUZZ_CHECK(record.ranges.isEmpty() == FontScriptRecord::rangesText(record.ranges).isEmpty());
    }
    QByteArray name;
    quint32 fileSize = 0;
    if (FileRecord::decodeListFilesEntry(response, &name, &fileSize))
        FUZZ_CHECK(!name.contains('\0') && name.size() <= response.size() - 2);
    FileRecord file;
    if (FileRecord::decode(response, &file))
        FUZZ_CHECK(!file.path.contains('\0') && file.digest.size() == FileRecord::DigestSize);
    return 0;
}

int emulatorFeed(const uint8_t *data, size_t size)
{
    using namespace PacketCodec;
    // Copied from one made once: its sample NV images take a while to draw.
    static const PrinterState prototype = [] {
        PrinterState p;
        p.clock = [] { return qint64(1000000); }; // the same answers on every run
        return p;
    }();
    PrinterState state = prototype;
    EmulatorProtocol protocol(state);
    protocol.feed(encodePacket(QByteArray("\x01\x00\x00\x00", 4), builtInKey(), true));
    const QByteArray serial = state.serialNumber.toLatin1();
    FuzzStream input(data, size);
    const QByteArray stream = input.stream(protocol.sessionKey(), [&serial](const QByteArray &record, Key *key) {
        // The tool's hello carries the nonce; the record's first four bytes stand in.
        const QByteArray hello = record.size() == DeviceRecordSize ? record.left(NonceSize) : record;
        if (hello.size() == NonceSize)
            *key = deriveSessionKey(qFromLittleEndian<quint32>(hello.constData()), serial.constData(), serial.size());
        return encodePacket(hello, builtInKey(), true);
    });
    // Whatever came, each answer fits one packet.
    for (const QByteArray &chunk : input.chunks(stream))
        for (const EmulatorProtocol::Event &e : protocol.feed(chunk))
            for (const QByteArray &packet : e.answers)
                FUZZ_CHECK(packet.size() <= MaxPacket);
    protocol.abandonUpload();
    return 0;
}

} // namespace FuzzEntries
