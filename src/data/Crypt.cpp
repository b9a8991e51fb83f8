#include "Crypt.h"

#include <array>
#include <cstdint>

namespace secret {
namespace {

// Unicode characters of codes 0x80-0x9F in code page 1252; the five codes the code page leaves
// unassigned keep their C1 control character, so all 256 codes round-trip.
constexpr std::array<char16_t, 32> kHighCodes = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar charOf(std::uint8_t code) {
    if (code >= 0x80 && code <= 0x9F) return QChar(kHighCodes[code - 0x80]);
    return QChar(char16_t(code));
}

std::optional<std::uint8_t> codeOf(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return std::uint8_t(u);
    for (std::size_t i = 0; i < kHighCodes.size(); ++i)
        if (kHighCodes[i] == u) return std::uint8_t(0x80 + i);
    return std::nullopt;
}

class Generator {
public:
    double next() {
        m_x = (1140671485u * m_x + 12820163u) & 0xFFFFFFu;
        return double(m_x) / 16777216.0;
    }
    void skip(long count) {
        for (long i = 0; i < count; ++i) next();
    }

private:
    std::uint32_t m_x = 327680u;
};

int maskFrom(Generator& g) { return int(g.next() * 256.0); }

}  // namespace

std::optional<QByteArray> toCodes(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const auto code = codeOf(c);
        if (!code) return std::nullopt;
        out.append(char(*code));
    }
    return out;
}

QString fromCodes(const QByteArray& codes) {
    QString out;
    out.reserve(codes.size());
    for (char c : codes) out.append(charOf(std::uint8_t(c)));
    return out;
}

QByteArray CryptCodes(const QByteArray& codes, const QByteArray& keyCodes) {
    Generator g;
    QByteArray key = keyCodes;
    for (int i = 1; i <= key.size(); ++i) g.skip(long(i) * std::uint8_t(key[i - 1]));
    int mask = maskFrom(g);
    QByteArray result;
    result.reserve(codes.size());
    for (char c : codes) {
        result.append(char(std::uint8_t(c) ^ mask));
        if (!key.isEmpty()) {
            key.prepend(key.back());
            key.chop(1);
            g.skip(std::uint8_t(key[0]));
        }
        mask = maskFrom(g);
    }
    return result;
}

QString Crypt(const QString& text, const QString& key) {
    const QByteArray keyCodes = toCodes(key).value_or(QByteArray());
    QString result;
    result.reserve(text.size());
    // Characters outside the code page have no code to scramble; they keep their place and the
    // generator still advances for them, so the function stays its own inverse.
    QByteArray codes;
    for (QChar c : text) codes.append(char(codeOf(c).value_or(0)));
    const QByteArray scrambled = CryptCodes(codes, keyCodes);
    for (int i = 0; i < text.size(); ++i) result.append(codeOf(text[i]) ? charOf(std::uint8_t(scrambled[i])) : text[i]);
    return result;
}

bool IsStorablePassword(const QString& password) { return password.size() <= 10 && toCodes(password).has_value(); }

}  // namespace secret
