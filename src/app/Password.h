// The screen-saver password of hosts that have no system password service: a salted,
// slow hash (yescrypt through crypt(3)) kept in the user's registry, never the
// password itself.
//
// Store: HKEY_CURRENT_USER "Control Panel\Desktop"
//   "ScreenSavePasswordHash" (REG_SZ): the hash, present while a password is set;
//   "ScreenSaveUsePassword"  (REG_SZ "1"): present while a password is set, absent
//   otherwise. The saver window's load handler only asks whether it exists.
// A flag without a hash (a hand-edited store) means "the empty password": the prompt
// still appears and an empty entry passes, so nobody is locked out by a bad store.
//
// On Windows the system's own password services take this place; there these
// functions hash nothing and every change reports NotStored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

inline constexpr std::string_view kDesktopKey = "Control Panel\\Desktop";
inline constexpr std::string_view kUsePasswordValue = "ScreenSaveUsePassword";
inline constexpr std::string_view kPasswordHashValue = "ScreenSavePasswordHash";

// A fresh "$y$" hash of `password` with a random salt; empty when hashing failed (no
// randomness, or a password holding a NUL byte).
std::string HashPassword(std::string_view password);

// True when `password` hashes to `hash`. A malformed or empty hash matches nothing.
bool PasswordMatches(std::string_view password, std::string_view hash);

// True while a password hash is stored.
bool ScreenSavePasswordIsSet();

// What the prompt checks: the stored hash, or (none stored, or a hash that crypt(3)
// cannot read) the empty password. Reports an unreadable hash on stderr.
bool CheckScreenSavePassword(std::string_view password);

// The longest password crypt(3) takes, in bytes (of UTF-8: fewer letters where some are
// outside ASCII).
inline constexpr size_t kLongestPassword = 511;

enum class PasswordChange {
  Set,                  // a new password is stored and the flag is on
  Cleared,              // the new password was empty: hash and flag removed
  WrongOldPassword,     // nothing changed
  ConfirmationDiffers,  // nothing changed
  TooLong,              // the new password is over kLongestPassword bytes: nothing changed
  // The store refused a write: the prompt still asks for the old password (or, when the
  // very first password could not be flagged, for none yet).
  NotStored,
};

// The change-password request: `oldPassword` must pass CheckScreenSavePassword when
// a password is set (it is ignored otherwise), `newPassword` and `confirmation` must
// be equal. An empty new password clears the password.
PasswordChange ChangeScreenSavePassword(std::string_view oldPassword, std::string_view newPassword,
                                        std::string_view confirmation);

}  // namespace qm
