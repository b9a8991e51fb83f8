#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The scrambling of the stored password. Crypt is its own inverse: Crypt(Crypt(t, k), k) == t.
//
// It works on single-byte character codes (the Western European code page 1252): each code of the
// text is XORed with a mask drawn from a fixed pseudo-random generator that the key advances. The
// generator is part of the file format and must never change, or stored passwords stop matching:
//
//     x(0) = 327680;  x(n+1) = (1140671485 * x(n) + 12820163) mod 2^24;  number = x / 2^24
//
// restarted from x(0) at every call.
namespace secret {

inline constexpr const char* kPasswordKey = "PLUMWAVERIDE";

// Text <-> single-byte codes. Every code 0-255 has exactly one character, so the conversion is
// lossless both ways; a character outside the code page has no code and yields nullopt.
std::optional<QByteArray> toCodes(const QString& text);
QString fromCodes(const QByteArray& codes);

QByteArray CryptCodes(const QByteArray& codes, const QByteArray& key);

// Scrambles text that can be written in the code page. Characters without a code are passed
// through unchanged (callers refuse such passwords before they get here).
QString Crypt(const QString& text, const QString& key = kPasswordKey);

// Whether a password can be stored: at most 10 characters, all of them in the code page.
bool IsStorablePassword(const QString& password);

}  // namespace secret
