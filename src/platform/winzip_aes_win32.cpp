// winzip_aes_win32.cpp -- WinZip AES over Windows' own cryptography (CNG, bcrypt.dll).
#include "platform/winzip_aes.h"

#if defined(_WIN32)

#include <windows.h>
#include <bcrypt.h>

#include <cstring>

namespace {

bool Ok(NTSTATUS status) { return status >= 0; }

// An algorithm provider, opened once and kept for the run.
BCRYPT_ALG_HANDLE Provider(LPCWSTR algorithm, ULONG flags) {
    BCRYPT_ALG_HANDLE handle = nullptr;
    if (!Ok(BCryptOpenAlgorithmProvider(&handle, algorithm, nullptr, flags))) return nullptr;
    return handle;
}

BCRYPT_ALG_HANDLE HmacSha1() {
    static BCRYPT_ALG_HANDLE handle = Provider(BCRYPT_SHA1_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    return handle;
}

BCRYPT_ALG_HANDLE AesEcb() {
    static BCRYPT_ALG_HANDLE handle = [] {
        BCRYPT_ALG_HANDLE h = Provider(BCRYPT_AES_ALGORITHM, 0);
        if (h != nullptr &&
            !Ok(BCryptSetProperty(h, BCRYPT_CHAINING_MODE,
                                  reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                                  sizeof(BCRYPT_CHAIN_MODE_ECB), 0))) {
            BCryptCloseAlgorithmProvider(h, 0);
            h = nullptr;
        }
        return h;
    }();
    return handle;
}

}  // namespace

bool WinZipAesDeriveKeys(const std::string& password, const unsigned char* salt, int keyLength,
                         WinZipAesKeys& keys) {
    if (keyLength != 16 && keyLength != 24 && keyLength != 32) return false;
    BCRYPT_ALG_HANDLE hmac = HmacSha1();
    if (hmac == nullptr) return false;
    unsigned char derived[2 * 32 + 2];
    const ULONG length = ULONG(2 * keyLength + 2);
    if (!Ok(BCryptDeriveKeyPBKDF2(hmac,
                                  reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
                                  ULONG(password.size()), const_cast<PUCHAR>(salt),
                                  ULONG(keyLength / 2), kWinZipAesRounds, derived, length, 0))) {
        return false;
    }
    WinZipAesSplitDerived(derived, keyLength, keys);
    return true;
}

bool WinZipAesCrypt(const WinZipAesKeys& keys, unsigned char* data, size_t length) {
    BCRYPT_ALG_HANDLE aes = AesEcb();
    if (aes == nullptr) return false;
    BCRYPT_KEY_HANDLE key = nullptr;
    if (!Ok(BCryptGenerateSymmetricKey(aes, &key, nullptr, 0,
                                       const_cast<PUCHAR>(keys.cipher), ULONG(keys.keyLength), 0))) {
        return false;
    }
    const bool ok = WinZipAesCounterMode(data, length, [key](const unsigned char* in,
                                                             unsigned char* out, size_t bytes) {
        ULONG produced = 0;
        return Ok(BCryptEncrypt(key, const_cast<PUCHAR>(in), ULONG(bytes), nullptr, nullptr, 0,
                                out, ULONG(bytes), &produced, 0)) &&
               produced == bytes;
    });
    BCryptDestroyKey(key);
    return ok;
}

bool WinZipAesMac(const WinZipAesKeys& keys, const unsigned char* data, size_t length,
                  unsigned char mac[kWinZipAesMacLength]) {
    BCRYPT_ALG_HANDLE hmac = HmacSha1();
    if (hmac == nullptr) return false;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!Ok(BCryptCreateHash(hmac, &hash, nullptr, 0, const_cast<PUCHAR>(keys.auth),
                             ULONG(keys.keyLength), 0))) {
        return false;
    }
    unsigned char full[20];
    bool ok = true;
    // BCryptHashData takes a ULONG length: feed large data in pieces.
    for (size_t done = 0; ok && done < length;) {
        ULONG piece = ULONG(length - done > 0x40000000u ? 0x40000000u : length - done);
        ok = Ok(BCryptHashData(hash, const_cast<PUCHAR>(data + done), piece, 0));
        done += piece;
    }
    ok = ok && Ok(BCryptFinishHash(hash, full, sizeof full, 0));
    BCryptDestroyHash(hash);
    if (ok) std::memcpy(mac, full, kWinZipAesMacLength);
    return ok;
}

#endif  // _WIN32
