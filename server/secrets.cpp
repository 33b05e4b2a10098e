#include "server/secrets.h"

#include <sodium.h>

#include <stdexcept>

namespace qvx::server {
namespace {

std::string Hex(const unsigned char* bytes, std::size_t size) {
  std::string text(size * 2 + 1, '\0');
  sodium_bin2hex(text.data(), text.size(), bytes, size);
  text.pop_back();
  return text;
}

// BLAKE2b of a label and the token: the two uses of one token never meet.
std::string Keyed(const std::string& label, const std::string& token) {
  unsigned char out[32];
  crypto_generichash_state state;
  crypto_generichash_init(&state, nullptr, 0, sizeof out);
  crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(label.data()),
                            label.size());
  crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(token.data()),
                            token.size());
  crypto_generichash_final(&state, out, sizeof out);
  return Hex(out, sizeof out);
}

}  // namespace

PasswordCost PasswordCost::Interactive() {
  return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
}

PasswordCost PasswordCost::Least() {
  return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

bool StartSecrets() {
  return sodium_init() >= 0;
}

std::string HashPassword(const std::string& password, const PasswordCost& cost) {
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(hash, password.data(), password.size(), cost.operations, cost.memory,
                            crypto_pwhash_ALG_ARGON2ID13) != 0)
    throw std::runtime_error("не хватает памяти для хеша пароля");
  return hash;
}

bool PasswordMatches(const std::string& password, const std::string& hash) {
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string NewToken() {
  unsigned char bytes[32];
  randombytes_buf(bytes, sizeof bytes);
  return Hex(bytes, sizeof bytes);
}

std::string TokenHash(const std::string& token) {
  return Keyed("quorvex-session:", token);
}

std::string CsrfOf(const std::string& token) {
  return Keyed("quorvex-csrf:", token);
}

bool SameSecret(const std::string& a, const std::string& b) {
  return a.size() == b.size() && sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace qvx::server
