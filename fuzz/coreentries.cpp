// The entries that need the protocol core alone, and the emulator where they drive it.
#include "fuzz/fuzzcheck.h"
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

#include <cstring>

namespace FuzzEntries {

void initializeCore(int *argc, char ***argv)
{
    if (!QCoreApplication::instance())
        new QCoreApplication(*argc, *argv); // kept: the fuzzer never returns from its loop
}

int discoveryAnswer(const uint8_t *data, size_t size)
{
    // The connect dialog's own reading of an answer datagram.
    const QByteArray datagram = bytes(data, size);
    const DiscoveryAnswer answer = DiscoveryAnswer::fromDatagram(datagram);
    const int offsets[] = {host_cmd_dev_info_t::ProjectOffset, host_cmd_dev_info_t::ModelOffset,
                           host_cmd_dev_info_t::SnOffset};
    const QString texts[] = {answer.project, answer.model, answer.sn};
    for (int i = 0; i < 3; ++i) {
        // A text is the run of bytes from its offset to the next zero, within the datagram.
        const QByteArray text = texts[i].toLatin1();
        FUZZ_CHECK(QString::fromLatin1(text) == texts[i] && !text.contains('\0'));
        FUZZ_CHECK(offsets[i] + text.size() <= qMax(offsets[i], datagram.size()));
        FUZZ_CHECK(datagram.mid(offsets[i], text.size()) == text);
        FUZZ_CHECK(offsets[i] + text.size() >= datagram.size() || datagram.at(offsets[i] + text.size()) == '\0');
    }
    return 0;
}

int nvImageList(const uint8_t *data, size_t size)
{
    const QByteArray response = bytes(data, size);
    NvImageList list;
    list.statedCount = 0xbeef;
    const bool ok = NvImageList::decode(response, &list);
    FUZZ_CHECK(ok == (response.size() >= NvImageList::MinSize));
    if (!ok) {
        FUZZ_CHECK(list.statedCount == 0xbeef && list.images.isEmpty());
        return 0;
    }
    FUZZ_CHECK(list.images.size() <= qMin<int>(list.statedCount, NvImageList::MaxImages));
    for (int i = 0; i < list.images.size(); ++i) {
        const NvImageList::Image &image = list.images.at(i);
        // The page reads both key code characters unchecked.
        FUZZ_CHECK(image.keyCode.size() == 2);
        FUZZ_CHECK(image.keyCode == response.mid(NvImageList::EntriesOffset + i * NvImageList::EntrySize, 2));
    }
    return 0;
}

int fontRecords(const uint8_t *data, size_t size)
{
    const QByteArray response = bytes(data, size);

    FontScriptRecord record;
    if (FontScriptRecord::decode(response, &record)) {
        FUZZ_CHECK(record.script.size() <= FontScriptRecord::ScriptSize);
        FUZZ_CHECK(record.language.size() <= FontScriptRecord::LanguageSize);
        FUZZ_CHECK(record.font.size() <= FontScriptRecord::FontSize);
        FUZZ_CHECK(record.ranges.size() <= FontScriptRecord::MaxRanges);
        // What the dialog sends back decodes to what it read, but for texts that filled
        // their whole field: a sent text keeps room for its zero. So the second round trip
        // sends the same bytes as the first.
        const QByteArray sent = record.toBytes(HostCmdWord::SetFontScript);
        FontScriptRecord again;
        FUZZ_CHECK(FontScriptRecord::decode(sent, &again) && again.toBytes(HostCmdWord::SetFontScript) == sent);
        FUZZ_CHECK(again.script == record.script.left(FontScriptRecord::ScriptSize - 1) && again.ranges == record.ranges);
        const QString text = FontScriptRecord::rangesText(record.ranges);
        FUZZ_CHECK(record.ranges.isEmpty() == text.isEmpty());
    } else {
        FUZZ_CHECK(response.size() < FontScriptRecord::Size);
    }

    QByteArray name = "untouched";
    quint32 fileSize = 7;
    if (FileRecord::decodeListFilesEntry(response, &name, &fileSize)) {
        FUZZ_CHECK(!name.contains('\0'));
        FUZZ_CHECK(name.size() <= response.size() - 2);
    } else {
        FUZZ_CHECK(response.size() < FileRecord::ListFilesEntryMinSize);
        FUZZ_CHECK(name == "untouched" && fileSize == 7);
    }

    FileRecord file;
    if (FileRecord::decode(response, &file)) {
        FUZZ_CHECK(!file.path.contains('\0'));
        FUZZ_CHECK(file.digest.size() == FileRecord::DigestSize);
    } else {
        FUZZ_CHECK(response.size() < FileRecord::Size);
    }
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

    const auto check = [](const QVector<EmulatorProtocol::Event> &events) {
        for (const EmulatorProtocol::Event &e : events) {
            for (const QByteArray &packet : e.answers) {
                FUZZ_CHECK(packet.size() >= HeaderSize + BlockSize && packet.size() <= MaxPacket);
                FUZZ_CHECK(std::memcmp(packet.constData(), Signature, sizeof Signature) == 0);
            }
        }
    };
    check(protocol.feed(encodePacket(QByteArray("\x01\x00\x00\x00", 4), builtInKey(), true)));
    FUZZ_CHECK(protocol.hasSession());

    const QByteArray serial = state.serialNumber.toLatin1();
    FuzzStream input(data, size);
    const QByteArray stream = input.stream(protocol.sessionKey(), [&serial](const QByteArray &record, Key *key) {
        // The tool's hello carries the nonce; the record's first four bytes stand in.
        const QByteArray hello = record.size() == DeviceRecordSize ? record.left(NonceSize) : record;
        if (hello.size() == NonceSize) {
            const auto *n = reinterpret_cast<const uchar *>(hello.constData());
            const quint32 nonce = quint32(n[0]) | quint32(n[1]) << 8 | quint32(n[2]) << 16 | quint32(n[3]) << 24;
            *key = deriveSessionKey(nonce, serial.constData(), serial.size());
        }
        return encodePacket(hello, builtInKey(), true);
    });
    const QVector<QByteArray> chunks = input.chunks(stream);
    for (const QByteArray &chunk : chunks)
        check(protocol.feed(chunk));
    protocol.abandonUpload();
    return 0;
}

} // namespace FuzzEntries
