#include "app/Password.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "winsys/Registry.h"

#ifndef _WIN32
#include <crypt.h>
#endif

namespace qm {
namespace {

constexpr std::string_view kFlagText = "1";

bool HasNul(std::string_view text) {
  return text.find('\0') != std::string_view::npos;
}

std::optional<std::string> StoredHash() {
  const auto value = Registry().Query(Hive::CurrentUser, kDesktopKey, kPasswordHashValue);
  if (!value || value->Type != kRegSz) return std::nullopt;
  std::string hash = value->Data;
  while (!hash.empty() && hash.back() == '\0') hash.pop_back();
  if (hash.empty()) return std::nullopt;
  return hash;
}

// Compares without an early exit, so the time taken says nothing about where two
// hashes first differ.
bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  }
  return diff == 0;
}

#ifndef _WIN32
bool IsCryptLetter(char c) {
  return c == '.' || c == '/' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         (c >= 'a' && c <= 'z');
}

// Whether libxcrypt itself writes these yescrypt parameters ("j9T") at some cost.
bool AreYescryptParameters(std::string_view parameters) {
  for (unsigned long cost = 0; cost <= 11; ++cost) {
    char setting[CRYPT_GENSALT_OUTPUT_SIZE];
    if (crypt_gensalt_rn("$y$", cost, nullptr, 0, setting, sizeof setting) == nullptr) continue;
    const std::string_view made(setting + 3);  // past "$y$"
    if (made.substr(0, made.find('$')) == parameters) return true;
  }
  return false;
}

// "$y$" parameters "$" salt "$" and a 43-letter hash, all in crypt's alphabet, with
// parameters libxcrypt writes: the whole form of what HashPassword stores. The salt may
// be empty: yescrypt hashes with none, so a hand-written setting can hold one.
bool IsWholeYescryptHash(std::string_view hash) {
  constexpr std::string_view kPrefix = "$y$";
  if (hash.substr(0, kPrefix.size()) != kPrefix) return false;
  hash.remove_prefix(kPrefix.size());
  size_t fields = 0;
  size_t length = 0;
  for (const char c : hash) {
    if (c == '$') {
      if (length == 0 && fields == 0) return false;
      ++fields;
      length = 0;
    } else if (!IsCryptLetter(c)) {
      return false;
    } else {
      ++length;
    }
  }
  return fields == 2 && length == 43 && AreYescryptParameters(hash.substr(0, hash.find('$')));
}

// crypt(3) of `password` with the settings in `setting`; nullopt when crypt refuses.
std::optional<std::string> Crypt(std::string_view password, const std::string& setting) {
  if (HasNul(password)) return std::nullopt;
  auto data = std::make_unique<crypt_data>();  // large; must start zeroed
  const std::string phrase(password);
  const char* out = crypt_rn(phrase.c_str(), setting.c_str(), data.get(), sizeof(crypt_data));
  if (out == nullptr || out[0] == '*') return std::nullopt;
  return std::string(out);
}
#endif

}  // namespace

std::string HashPassword(std::string_view password) {
#ifndef _WIN32
  char salt[CRYPT_GENSALT_OUTPUT_SIZE];
  // No random bytes of our own: libxcrypt draws them from the system.
  if (crypt_gensalt_rn("$y$", 0, nullptr, 0, salt, sizeof salt) == nullptr) return {};
  return Crypt(password, salt).value_or(std::string());
#else
  (void)password;
  return {};
#endif
}

bool PasswordMatches(std::string_view password, std::string_view hash) {
#ifndef _WIN32
  if (hash.empty() || HasNul(hash)) return false;
  const auto computed = Crypt(password, std::string(hash));
  return computed && SameText(*computed, hash);
#else
  (void)password;
  (void)hash;
  return false;
#endif
}

bool ScreenSavePasswordIsSet() {
  return StoredHash().has_value();
}

bool CheckScreenSavePassword(std::string_view password) {
  const auto hash = StoredHash();
  if (!hash) return password.empty();
#ifndef _WIN32
  // A hash crypt(3) cannot read would lock the user out for good; treat it as no
  // password, and say so.
  // crypt(3) reads many settings leniently ("garbage" is an old DES salt "ga"), so a
  // hash counts as readable only when hashing with it gives a hash of its own shape.
  // But yescrypt also fails for want of memory (it needs 16 MiB), with the same error
  // as for a setting it cannot read: a whole yescrypt hash counts as readable however
  // the probe ends, since the lock must not open because the system is short of memory.
  const int known = crypt_checksalt(hash->c_str());
  const bool usable =
      known == CRYPT_SALT_OK || known == CRYPT_SALT_METHOD_LEGACY || known == CRYPT_SALT_TOO_CHEAP;
  const auto probe = usable ? Crypt("", *hash) : std::nullopt;
  const bool readable =
      probe ? probe->size() == hash->size() : usable && IsWholeYescryptHash(*hash);
  if (!readable) {
    std::fprintf(stderr,
                 "quillmark: the stored screen-saver password hash is unreadable; "
                 "the empty password is accepted\n");
    return password.empty();
  }
#endif
  return PasswordMatches(password, *hash);
}

PasswordChange ChangeScreenSavePassword(std::string_view oldPassword, std::string_view newPassword,
                                        std::string_view confirmation) {
  if (ScreenSavePasswordIsSet() && !CheckScreenSavePassword(oldPassword)) {
    return PasswordChange::WrongOldPassword;
  }
  if (newPassword != confirmation) return PasswordChange::ConfirmationDiffers;
  if (newPassword.size() > kLongestPassword) return PasswordChange::TooLong;

  RegistryBackend& store = Registry();
  if (newPassword.empty()) {
    // The flag goes first: should the second removal fail, no prompt asks for a
    // password that is half gone.
    if (!store.Delete(Hive::CurrentUser, kDesktopKey, kUsePasswordValue)) {
      return PasswordChange::NotStored;
    }
    store.Delete(Hive::CurrentUser, kDesktopKey, kPasswordHashValue);
    return PasswordChange::Cleared;
  }

  const std::string hash = HashPassword(newPassword);
  if (hash.empty()) return PasswordChange::NotStored;
  // The hash goes first: should the flag then fail, the saver simply asks for nothing.
  if (!store.Set(Hive::CurrentUser, kDesktopKey, kPasswordHashValue, RegValue{kRegSz, hash})) {
    return PasswordChange::NotStored;
  }
  // The flag is written only when missing, so changing a password is one write.
  const bool flagged = store.Query(Hive::CurrentUser, kDesktopKey, kUsePasswordValue).has_value();
  if (!flagged && !store.Set(Hive::CurrentUser, kDesktopKey, kUsePasswordValue,
                             RegValue{kRegSz, std::string(kFlagText)})) {
    return PasswordChange::NotStored;
  }
  return PasswordChange::Set;
}

}  // namespace qm
