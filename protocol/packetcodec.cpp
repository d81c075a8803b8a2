#include "protocol/packetcodec.h"

#include <openssl/evp.h>

#include <cstring>
#include <memory>

namespace PacketCodec {

namespace {

// Must equal the values held by the printer firmware.
constexpr Key BuiltInKey = {0x28, 0xed, 0xff, 0x0b, 0x56, 0xed, 0xbf, 0x42,
                            0xd9, 0xc4, 0xcb, 0xb1, 0x3c, 0xcb, 0x3e, 0xef};
constexpr Key InitVector = {0x5a, 0x67, 0x96, 0x27, 0x92, 0x65, 0xd0, 0xee,
                            0xbe, 0x3c, 0x74, 0xae, 0x22, 0xc8, 0xb7, 0x16};

struct CtxFree {
    void operator()(EVP_CIPHER_CTX *ctx) const { EVP_CIPHER_CTX_free(ctx); }
};

struct CipherFree {
    void operator()(EVP_CIPHER *cipher) const { EVP_CIPHER_free(cipher); }
};

// Fetched once: EVP_aes_128_cbc() handed to every init makes libcrypto look it up anew.
const EVP_CIPHER *aes128Cbc()
{
    static const std::unique_ptr<EVP_CIPHER, CipherFree> cipher(
        EVP_CIPHER_fetch(nullptr, "AES-128-CBC", nullptr));
    return cipher.get();
}

// A context keeps its key schedule: a packet under the key of the one before only
// restarts the chain.
struct Direction
{
    std::unique_ptr<EVP_CIPHER_CTX, CtxFree> ctx{EVP_CIPHER_CTX_new()};
    Key key{};
    bool keyed = false;
};

bool cbc(bool encrypt, const Key &key, const uchar *in, int size, uchar *out)
{
    if (size <= 0 || size % BlockSize != 0)
        return false;
    // One context per thread and direction: the USB reader thread and the GUI thread both
    // use the codec, and a context must not be shared between threads.
    thread_local Direction directions[2];
    Direction &d = directions[encrypt ? 1 : 0];
    const EVP_CIPHER *cipher = aes128Cbc();
    if (!d.ctx || !cipher)
        return false;
    // Every packet restarts the chain from the fixed vector.
    if (d.keyed && d.key == key) {
        if (EVP_CipherInit_ex(d.ctx.get(), nullptr, nullptr, nullptr, InitVector.data(), -1) != 1)
            return false;
    } else {
        d.keyed = false;
        if (EVP_CipherInit_ex(d.ctx.get(), cipher, nullptr, key.data(), InitVector.data(),
                              encrypt ? 1 : 0) != 1)
            return false;
        // The protocol pads and checks its padding itself.
        EVP_CIPHER_CTX_set_padding(d.ctx.get(), 0);
        d.key = key;
        d.keyed = true;
    }
    int produced = 0;
    int tail = 0;
    if (EVP_CipherUpdate(d.ctx.get(), out, &produced, in, size) != 1
        || EVP_CipherFinal_ex(d.ctx.get(), out + produced, &tail) != 1) {
        d.keyed = false;
        return false;
    }
    return produced + tail == size;
}

} // namespace

const Key &builtInKey() { return BuiltInKey; }
const Key &initVector() { return InitVector; }

bool encryptBlocks(const Key &key, const uchar *in, int size, uchar *out)
{
    return cbc(true, key, in, size, out);
}

bool decryptBlocks(const Key &key, const uchar *in, int size, uchar *out)
{
    return cbc(false, key, in, size, out);
}

int encodePacket(const uchar *payload, int length, const Key &key, bool handshake, uchar *out)
{
    if (length < 1 || length > MaxPayload)
        return 0;
    uchar plain[BlockSize * MaxBlocks];
    const int pad = BlockSize - length % BlockSize;
    const int padded = length + pad;
    std::memcpy(plain, payload, size_t(length));
    std::memset(plain + length, pad, size_t(pad));
    if (!encryptBlocks(key, plain, padded, out + HeaderSize))
        return 0;
    std::memcpy(out, Signature, sizeof Signature);
    out[3] = handshake ? HandshakeBlockCount : uchar(padded / BlockSize);
    return HeaderSize + padded;
}

QByteArray encodePacket(const QByteArray &payload, const Key &key, bool handshake)
{
    uchar packet[MaxPacket];
    const int n = encodePacket(reinterpret_cast<const uchar *>(payload.constData()),
                               payload.size(), key, handshake, packet);
    return QByteArray(reinterpret_cast<const char *>(packet), n);
}

QByteArray keepAlivePacket()
{
    const char packet[HeaderSize] = {char(Signature[0]), char(Signature[1]), char(Signature[2]),
                                     char(KeepAliveBlockCount)};
    return QByteArray(packet, HeaderSize);
}

int paddingLength(const uchar *plain, int n)
{
    if (n <= 0)
        return 0;
    const int pad = plain[n - 1];
    if (pad == 0 || pad > BlockSize || pad >= n)
        return 0;
    for (int i = n - pad; i < n; ++i) {
        if (plain[i] != pad)
            return 0;
    }
    return pad;
}

int decryptBody(const uchar *body, int blocks, const Key &key, uchar *out)
{
    if (blocks <= 0 || blocks > MaxBlocks)
        return 0;
    const int n = blocks * BlockSize;
    if (!decryptBlocks(key, body, n, out))
        return 0;
    const int pad = paddingLength(out, n);
    return pad ? n - pad : 0;
}

Key deriveSessionKey(quint32 nonce, const char *serial, int serialFieldSize)
{
    uchar material[NonceSize + 16] = {};
    for (int i = 0; i < NonceSize; ++i)
        material[i] = uchar(nonce >> (8 * i));
    for (int i = 0; i < 16 && i < serialFieldSize && serial[i] != '\0'; ++i)
        material[NonceSize + i] = uchar(serial[i]);

    Key key{};
    unsigned int size = 0;
    EVP_Digest(material, sizeof material, key.data(), &size, EVP_md5(), nullptr);
    return key;
}

} // namespace PacketCodec
