// winzip_aes.h -- WinZip AES encryption of zip members, shared by the pack reader and the baker
// that writes the pack. A member's data is: salt, 2-byte password verifier, the AES-CTR
// ciphertext, then the first 10 bytes of HMAC-SHA1 over the ciphertext.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct WinZipAesKeys {
    int keyLength = 0;             // 16, 24 or 32 bytes
    unsigned char cipher[32] = {};  // AES key
    unsigned char auth[32] = {};    // HMAC-SHA1 key, as long as the AES key
    unsigned char verifier[2] = {};
};

// Splits the 2 * keyLength + 2 bytes PBKDF2 derived into the AES key, the HMAC key and the
// password verifier, in that order (both crypto backends derive the same bytes).
inline void WinZipAesSplitDerived(const unsigned char* derived, int keyLength, WinZipAesKeys& keys) {
    keys.keyLength = keyLength;
    for (int i = 0; i < keyLength; ++i) {
        keys.cipher[i] = derived[i];
        keys.auth[i] = derived[keyLength + i];
    }
    keys.verifier[0] = derived[2 * keyLength];
    keys.verifier[1] = derived[2 * keyLength + 1];
}

// WinZip's counter mode over a crypto backend's AES in ECB mode: `encryptBlocks(in, out, bytes)`
// encrypts whole 16-byte blocks. The counters are encrypted a batch at a time: one call per
// block cost the crypto libraries several times what the cipher itself does.
template <typename EncryptBlocks>
bool WinZipAesCounterMode(unsigned char* data, size_t length, EncryptBlocks encryptBlocks) {
    constexpr size_t kBatch = 4096;
    unsigned char counters[kBatch] = {};  // the high 8 bytes of each stay 0 short of 2^64 blocks
    unsigned char stream[kBatch];
    uint64_t block = 0;
    for (size_t pos = 0; pos < length; pos += kBatch) {
        const size_t bytes = std::min(kBatch, length - pos);
        const size_t whole = (bytes + 15) / 16 * 16;
        for (size_t b = 0; b < whole; b += 16) {
            ++block;
            for (size_t i = 0; i < 8; ++i) {
                counters[b + i] = static_cast<unsigned char>(block >> (8 * i));
            }
        }
        if (!encryptBlocks(counters, stream, whole)) return false;
        size_t i = 0;
        for (; i + 8 <= bytes; i += 8) {
            uint64_t word, key;
            std::memcpy(&word, data + pos + i, 8);
            std::memcpy(&key, stream + i, 8);
            word ^= key;
            std::memcpy(data + pos + i, &word, 8);
        }
        for (; i < bytes; ++i) data[pos + i] ^= stream[i];
    }
    return true;
}

constexpr size_t kWinZipAesMacLength = 10;
constexpr int kWinZipAesRounds = 1000;

// The salt is keyLength / 2 bytes. False when the crypto library fails.
bool WinZipAesDeriveKeys(const std::string& password, const unsigned char* salt, int keyLength,
                         WinZipAesKeys& keys);
// AES in WinZip's counter mode (a 16-byte little-endian counter from 1): encrypts and decrypts
// alike, in place.
bool WinZipAesCrypt(const WinZipAesKeys& keys, unsigned char* data, size_t length);
// The 10-byte authentication code of the ciphertext.
bool WinZipAesMac(const WinZipAesKeys& keys, const unsigned char* data, size_t length,
                  unsigned char mac[kWinZipAesMacLength]);
