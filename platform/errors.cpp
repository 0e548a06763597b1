#include "errors.h"

#include <cerrno>

namespace plat {

bool FileError::diskFull() const noexcept { return code_ == ENOSPC || code_ == EDQUOT; }

namespace {

[[noreturn]] void notInteger(const QString& text) {
    throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

}  // namespace

int strToInt(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const bool hex = i < n && text[i] == u'$';
    if (hex) ++i;
    if (i == n) notInteger(text);

    const qint64 base = hex ? 16 : 10;
    // Decimal must lie in the signed range; hex may use all 32 bits, read as two's
    // complement ($FFFFFFFF is -1), as the classic conversion does.
    const qint64 limit = hex ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    qint64 value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            notInteger(text);
        value = value * base + digit;
        if (value > limit) notInteger(text);
    }
    if (hex) {
        const auto bits = static_cast<quint32>(value);
        const auto v = static_cast<qint32>(bits);
        return negative ? static_cast<int>(-static_cast<qint64>(v)) : v;
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace plat
