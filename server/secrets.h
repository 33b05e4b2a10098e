// Passwords and session tokens through libsodium: Argon2id for passwords,
// random tokens, and the hashes the database keeps in their place.
#pragma once

#include <string>

namespace qvx::server {

// The cost of a password hash. Interactive is libsodium's own choice for a
// login; tests take the least, which checks the same way.
struct PasswordCost {
  unsigned long long operations;
  std::size_t memory;
  static PasswordCost Interactive();
  static PasswordCost Least();
};

// The Argon2id hash of `password` in libsodium's text form, its salt and
// cost inside. Throws std::runtime_error when memory runs out.
std::string HashPassword(const std::string& password, const PasswordCost& cost);

// True when `password` is the one of `hash`; false for any other text.
bool PasswordMatches(const std::string& password, const std::string& hash);

// 32 random bytes as 64 hexadecimal digits: a session's token.
std::string NewToken();

// The hash kept of a token (the database never holds the token itself).
std::string TokenHash(const std::string& token);

// The session's key against cross-site requests, derived from its token,
// so that nothing more is kept; another text for each token.
std::string CsrfOf(const std::string& token);

// True when two texts are equal, in a time that does not tell where they differ.
bool SameSecret(const std::string& a, const std::string& b);

// Starts libsodium; false when it cannot (no random source).
bool StartSecrets();

}  // namespace qvx::server
