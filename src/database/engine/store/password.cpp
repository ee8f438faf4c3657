#include "database/engine/store/password.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <mutex>
#include <set>

#include "database/engine/store/engine_error.h"

namespace engine::detail {

namespace {

// An access check, not encryption: cheap enough to make many test files, costly enough
// not to be a plain hash.
constexpr unsigned long long kOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr std::size_t kMemLimit = 16U * 1024U * 1024U;

void initialiseSodium() {
    if (sodium_init() < 0) throw EngineError(ErrorCode::Unexpected, describe::unexpected("libsodium"));
}

using Digest = std::array<unsigned char, crypto_generichash_BYTES>;

Digest digestOf(const std::string& verifier, const std::string& password) {
    Digest digest{};
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, digest.size());
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(verifier.data()), verifier.size() + 1);
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(password.data()), password.size());
    crypto_generichash_final(&state, digest.data(), digest.size());
    return digest;
}

// Logons and files may be verified on threads of their own at the same time.
struct VerifiedPairs {
    std::mutex mutex;
    std::set<Digest> pairs;
};

VerifiedPairs& verifiedPairs() {
    static VerifiedPairs verified;
    return verified;
}

}  // namespace

std::string passwordFromConnect(const std::string& connect) {
    std::string password;
    std::size_t start = 0;
    while (start <= connect.size()) {
        const std::size_t end = std::min(connect.find(';', start), connect.size());
        const std::string piece = connect.substr(start, end - start);
        const std::size_t eq = piece.find('=');
        if (eq != std::string::npos) {
            std::string key = piece.substr(0, eq);
            std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::toupper(c); });
            if (key == "PWD") password = piece.substr(eq + 1);
        }
        start = end + 1;
    }
    return password;
}

std::string makeVerifier(const std::string& password) {
    initialiseSodium();
    std::array<char, crypto_pwhash_STRBYTES> out{};
    if (crypto_pwhash_str(out.data(), password.data(), password.size(), kOpsLimit, kMemLimit) != 0)
        throw EngineError(ErrorCode::Unexpected, describe::unexpected("crypto_pwhash_str"));
    return out.data();
}

bool verifyPassword(const std::string& verifier, const std::string& password) {
    initialiseSodium();
    const Digest digest = digestOf(verifier, password);
    VerifiedPairs& verified = verifiedPairs();
    {
        const std::lock_guard<std::mutex> lock(verified.mutex);
        if (verified.pairs.count(digest) != 0) return true;
    }
    if (crypto_pwhash_str_verify(verifier.c_str(), password.data(), password.size()) != 0) return false;
    const std::lock_guard<std::mutex> lock(verified.mutex);
    verified.pairs.insert(digest);
    return true;
}

}  // namespace engine::detail
