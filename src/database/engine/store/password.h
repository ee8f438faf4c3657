#pragma once

// Internal to the engine: connect strings and password verifiers.

#include <string>

namespace engine::detail {

// The PWD value of a connect string such as ";PWD=secret;" (key case-insensitive);
// empty when the string names none.
std::string passwordFromConnect(const std::string& connect);

// A libsodium verifier of `password`; the password itself is never stored.
std::string makeVerifier(const std::string& password);

// Whether `password` matches `verifier`. Successful checks are remembered for the
// process's lifetime, so one repair verifies each password once. Safe to call from several
// threads at once.
bool verifyPassword(const std::string& verifier, const std::string& password);

}  // namespace engine::detail
