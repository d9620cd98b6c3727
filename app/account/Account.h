// The local account: one user name and one password, kept in admin.une and
// PASSWARD.une in the program folder. The password is stored scrambled and never
// turned back: the login scrambles what was typed and compares the bytes.
//
// Everything here works on the GBK bytes (code page 936) of the password, never on
// decoded text: a scrambled byte need not be a character of the code page, and a
// scrambled "x" is a CR, a scrambled "U" a space. Decoding or trimming them would lose
// passwords that were stored fine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "system/Failure.h"

namespace account {

inline const std::wstring UserFile = L"admin.une";
inline const std::wstring PasswordFile = L"PASSWARD.une";

// The scramble key. Below 128, so an ASCII byte stays an ASCII byte.
constexpr int16_t ScrambleKey = 117;

// The password's GBK bytes with every single-byte character's byte and every
// double-byte character's trail byte combined with the key (exclusive or); lead
// bytes stay. Characters that code page 936 cannot hold become "?" first, the same
// way every time.
std::string scramble(std::wstring_view password);

// Writes admin.une (the user name as typed), then PASSWARD.une (the scrambled password
// and CR LF). A file that cannot be written is named with the system's reason; what was
// written before stays.
sys::Cause store(std::wstring_view userName, std::wstring_view password);

// Why a user name or password cannot be stored as typed: characters that code page 936
// cannot hold, named for the user name (the settings mask the password). Nothing when
// both can.
sys::Cause refusal(std::wstring_view userName, std::wstring_view password);

enum class Check { Pass, Fail, ReadFailure };

// Scrambles the typed password and compares it with the bytes of PASSWARD.une less one
// final CR LF. A missing or unreadable file is a read failure, never an empty password.
Check checkPassword(std::wstring_view typed);

// program folder + "\PASSWARD.une", as the login names it when it cannot read it.
std::wstring passwordPath();

}  // namespace account
