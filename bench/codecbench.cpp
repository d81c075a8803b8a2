// Figures 1 and 2: the packet codec and HostCmd::receive, beside bare libcrypto.
#include "bench/benchsizes.h"
#include "bench/floorreporter.h"
#include "protocol/hostcmd.h"
#include "protocol/packetcodec.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <QVector>

#include <memory>
#include <random>

using namespace PacketCodec;

namespace {

const Key SessionKey = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                        0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff, 0x01};

int paddedSize(int payload)
{
    return payload + BlockSize - payload % BlockSize;
}

QByteArray payloadOf(int length, quint32 seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(length, '\0');
    for (char &c : bytes)
        c = char(random());
    return bytes;
}

void encode(benchmark::State &state)
{
    const QByteArray payload = payloadOf(int(state.range(0)), 1);
    uchar out[MaxPacket];
    for (auto _ : state) {
        const int n = encodePacket(reinterpret_cast<const uchar *>(payload.constData()),
                                   payload.size(), SessionKey, false, out);
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(encode)->Name("codec_encode")->Arg(2)->Arg(438);

void decode(benchmark::State &state)
{
    const QByteArray packet = encodePacket(payloadOf(int(state.range(0)), 1), SessionKey);
    const auto *body = reinterpret_cast<const uchar *>(packet.constData()) + HeaderSize;
    const int blocks = uchar(packet.at(3));
    uchar out[BlockSize * MaxBlocks];
    for (auto _ : state) {
        const int n = decryptBody(body, blocks, SessionKey, out);
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(decode)->Name("codec_decode")->Arg(2)->Arg(438);

struct CtxFree {
    void operator()(EVP_CIPHER_CTX *ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using Ctx = std::unique_ptr<EVP_CIPHER_CTX, CtxFree>;

// The floor: libcrypto alone on the padded bytes with the cipher fetched and the key set
// once, only the vector given again per packet, which is the least a packet can cost.
void evpFloor(benchmark::State &state, bool encrypt)
{
    const int size = paddedSize(int(state.range(0)));
    const QByteArray in = payloadOf(size, 2);
    uchar out[BlockSize * MaxBlocks + BlockSize];
    EVP_CIPHER *cipher = EVP_CIPHER_fetch(nullptr, "AES-128-CBC", nullptr);
    Ctx ctx(EVP_CIPHER_CTX_new());
    EVP_CipherInit_ex(ctx.get(), cipher, nullptr, SessionKey.data(), initVector().data(), encrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    for (auto _ : state) {
        int produced = 0;
        int tail = 0;
        EVP_CipherInit_ex(ctx.get(), nullptr, nullptr, nullptr, initVector().data(), -1);
        EVP_CipherUpdate(ctx.get(), out, &produced, reinterpret_cast<const uchar *>(in.constData()), size);
        EVP_CipherFinal_ex(ctx.get(), out + produced, &tail);
        benchmark::DoNotOptimize(produced + tail);
        benchmark::ClobberMemory();
    }
    EVP_CIPHER_free(cipher);
    state.SetItemsProcessed(state.iterations());
}
void evpEncryptFloor(benchmark::State &state) { evpFloor(state, true); }
void evpDecryptFloor(benchmark::State &state) { evpFloor(state, false); }
BENCHMARK(evpEncryptFloor)->Name("evp_encrypt_prefetched_floor")->Arg(2)->Arg(438);
BENCHMARK(evpDecryptFloor)->Name("evp_decrypt_prefetched_floor")->Arg(2)->Arg(438);

// A HostCmd that has been through a handshake, so it holds a session key.
void handshake(HostCmd &host)
{
    host.sendHello(true); // no link: this only fixes the nonce
    QByteArray record(DeviceRecordSize, '\0');
    record.replace(0, 5, "RX210");
    record.replace(32, 10, "ZRBENCH001");
    const QByteArray hello = encodePacket(record, builtInKey(), true);
    host.receive(reinterpret_cast<const uchar *>(hello.constData()), quint32(hello.size()));
}

// A stream of answer packets of mixed lengths, sealed with the key such a handshake gives,
// and the reads a link might deliver it in.
struct Stream
{
    Key key{};
    QByteArray bytes;
    QVector<int> packetStarts;
    QVector<int> chunks;
};

const Stream &stream()
{
    static const Stream s = [] {
        Stream out;
        HostCmd host;
        handshake(host);
        out.key = host.sessionKey();
        std::mt19937 random(20240611);
        std::uniform_int_distribution<int> length(2, MaxPayload);
        for (int i = 0; i < BenchSizes::streamPackets(); ++i) {
            out.packetStarts.append(out.bytes.size());
            out.bytes += encodePacket(payloadOf(length(random), quint32(i)), out.key);
        }
        // Reads of 1 to 1500 bytes, except that a packet's first piece is never under the
        // 20 bytes the receiver needs to take it: the printer and the emulator keep to that.
        constexpr int MinStart = HeaderSize + BlockSize;
        std::uniform_int_distribution<int> chunk(1, 1500);
        int at = 0;
        int next = 0;
        while (at < out.bytes.size()) {
            int end = std::min(at + chunk(random), int(out.bytes.size()));
            while (next < out.packetStarts.size() && out.packetStarts[next] + MinStart <= end)
                ++next;
            if (next < out.packetStarts.size() && out.packetStarts[next] < end)
                end = out.packetStarts[next] + MinStart;
            out.chunks.append(end - at);
            at = end;
        }
        return out;
    }();
    return s;
}

void hostCmdReceive(benchmark::State &state)
{
    const Stream &s = stream();
    HostCmd host;
    handshake(host);
    int answers = 0;
    QObject::connect(&host, &HostCmd::responseReceived, [&answers](const QByteArray &) { ++answers; });
    const auto *data = reinterpret_cast<const uchar *>(s.bytes.constData());
    for (auto _ : state) {
        answers = 0;
        int at = 0;
        // As TcpPrinter::onReadyRead hands each read over.
        for (const int chunk : s.chunks) {
            quint32 offset = 0;
            while (offset < quint32(chunk)) {
                const quint32 used = host.receive(data + at + offset, quint32(chunk) - offset);
                if (used == 0)
                    break;
                offset += used;
            }
            at += chunk;
        }
    }
    if (answers != s.packetStarts.size())
        state.SkipWithError("not every packet was decoded");
    state.SetBytesProcessed(state.iterations() * s.bytes.size());
    state.counters["bytes"] = s.bytes.size();
    state.counters["packets"] = s.packetStarts.size();
    state.counters["reads"] = s.chunks.size();
}
BENCHMARK(hostCmdReceive)->Name("hostcmd_receive_random_chunks");

// The floor: the codec's decode of each packet of the same stream, whole and in place.
void decodeStream(benchmark::State &state)
{
    const Stream &s = stream();
    const auto *data = reinterpret_cast<const uchar *>(s.bytes.constData());
    uchar plain[BlockSize * MaxBlocks];
    for (auto _ : state) {
        int decoded = 0;
        for (const int start : s.packetStarts)
            decoded += decryptBody(data + start + HeaderSize, data[start + 3], s.key, plain) > 0;
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(state.iterations() * s.bytes.size());
    state.counters["bytes"] = s.bytes.size();
}
BENCHMARK(decodeStream)->Name("codec_decode_stream_floor");

const bool paired = FloorReporter::pair("codec_encode/2", "evp_encrypt_prefetched_floor/2")
                    && FloorReporter::pair("codec_encode/438", "evp_encrypt_prefetched_floor/438")
                    && FloorReporter::pair("codec_decode/2", "evp_decrypt_prefetched_floor/2")
                    && FloorReporter::pair("codec_decode/438", "evp_decrypt_prefetched_floor/438")
                    && FloorReporter::pair("hostcmd_receive_random_chunks", "codec_decode_stream_floor");

} // namespace
