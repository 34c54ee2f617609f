// winzip_aes.cpp -- WinZip AES over OpenSSL's libcrypto (Windows: winzip_aes_win32.cpp).
#include "platform/winzip_aes.h"

#if !defined(_WIN32)

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <cstring>

bool WinZipAesDeriveKeys(const std::string& password, const unsigned char* salt, int keyLength,
                         WinZipAesKeys& keys) {
    if (keyLength != 16 && keyLength != 24 && keyLength != 32) return false;
    unsigned char derived[2 * 32 + 2];
    const int length = 2 * keyLength + 2;
    if (PKCS5_PBKDF2_HMAC_SHA1(password.data(), int(password.size()), salt, keyLength / 2,
                               kWinZipAesRounds, length, derived) != 1) {
        return false;
    }
    WinZipAesSplitDerived(derived, keyLength, keys);
    return true;
}

bool WinZipAesCrypt(const WinZipAesKeys& keys, unsigned char* data, size_t length) {
    const EVP_CIPHER* cipher = keys.keyLength == 16   ? EVP_aes_128_ecb()
                               : keys.keyLength == 24 ? EVP_aes_192_ecb()
                                                      : EVP_aes_256_ecb();
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    if (ctx == nullptr) return false;
    bool ok = EVP_EncryptInit_ex(ctx, cipher, nullptr, keys.cipher, nullptr) == 1;
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    ok = ok && WinZipAesCounterMode(data, length, [ctx](const unsigned char* in, unsigned char* out,
                                                        size_t bytes) {
             int produced = 0;
             return EVP_EncryptUpdate(ctx, out, &produced, in, int(bytes)) == 1 &&
                    size_t(produced) == bytes;
         });
    EVP_CIPHER_CTX_free(ctx);
    return ok;
}

bool WinZipAesMac(const WinZipAesKeys& keys, const unsigned char* data, size_t length,
                  unsigned char mac[kWinZipAesMacLength]) {
    unsigned char full[EVP_MAX_MD_SIZE];
    unsigned int fullLength = 0;
    if (HMAC(EVP_sha1(), keys.auth, keys.keyLength, data, length, full, &fullLength) == nullptr ||
        fullLength < kWinZipAesMacLength) {
        return false;
    }
    std::memcpy(mac, full, kWinZipAesMacLength);
    return true;
}

#endif  // !_WIN32
