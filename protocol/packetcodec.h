#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

// Framing, padding, AES-128-CBC and key derivation of host command packets.
// Pure functions over bytes: the tool and the emulator share them.
namespace PacketCodec {

using Key = std::array<uchar, 16>;

constexpr int HeaderSize = 4;
constexpr int BlockSize = 16;
constexpr int MaxBlocks = 31;
constexpr int MaxPayload = 480;
constexpr int MaxPacket = HeaderSize + BlockSize * MaxBlocks; // 500
constexpr uchar Signature[3] = {0x10, 0x01, 0x11};
constexpr uchar HandshakeBlockCount = 0;
constexpr uchar KeepAliveBlockCount = 255;
// A handshake answer carries the 56-byte device record; the request carries the nonce.
constexpr int DeviceRecordSize = 56;
constexpr int NonceSize = 4;

// The key that encrypts handshake packets, and the vector every packet's CBC chain starts from.
const Key &builtInKey();
const Key &initVector();

// AES-128-CBC over whole blocks, no padding, chain started from initVector().
// size must be a multiple of 16; returns false only if libcrypto fails.
bool encryptBlocks(const Key &key, const uchar *in, int size, uchar *out);
bool decryptBlocks(const Key &key, const uchar *in, int size, uchar *out);

// Builds a whole packet into out (at least MaxPacket bytes): header, then the padded,
// encrypted payload. A handshake packet carries block count 0. Returns the packet
// length, or 0 when the payload length is outside 1..MaxPayload.
int encodePacket(const uchar *payload, int length, const Key &key, bool handshake, uchar *out);
QByteArray encodePacket(const QByteArray &payload, const Key &key, bool handshake = false);

// The four header bytes alone.
QByteArray keepAlivePacket();

// Decrypts blocks * 16 bytes into out and checks the padding; returns the payload length
// without padding, or 0 when blocks is 0 (or beyond MaxBlocks) or the padding is bad.
int decryptBody(const uchar *body, int blocks, const Key &key, uchar *out);

// Length of the padding byte run at the end of a decrypted body of n bytes, or 0 when bad.
int paddingLength(const uchar *plain, int n);

// MD5 over the nonce (little-endian) and the first 16 characters of the serial number
// (up to its first zero byte, zero-filled to 16).
Key deriveSessionKey(quint32 nonce, const char *serial, int serialFieldSize);

} // namespace PacketCodec
