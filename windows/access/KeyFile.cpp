#include "KeyFile.h"

#include "cipher/Messages.h"
#include "cipher/NumberReader.h"

#include <cmath>
#include <optional>

namespace qel {

bool IsPrime(std::int32_t n)
{
    if (n % 2 == 0)
        return false;
    if (n <= 3)
        return true;
    for (std::int32_t d = 3;;) {
        if (n % d == 0)
            return false;
        const std::int32_t q = n / d;
        d += 2;
        if (q <= d)
            return true;
    }
}

std::int32_t RandomPrime(std::uint8_t digits, RandomSource& random)
{
    if (digits < 2 || digits > 9)
        return 0;
    const double low = std::pow(10.0, digits - 1) + 1;
    const double high = std::pow(10.0, digits) - 1;
    for (;;) {
        // Single-precision resolution: 24 bits of the draw.
        const double r = std::floor(random.nextUnit() * 16777216.0) / 16777216.0;
        const auto n = static_cast<std::int32_t>(std::floor(r * high + low));
        if (IsPrime(n))
            return n;
    }
}

std::string FormatKeyFile(const KeyFile& key)
{
    return std::to_string(key.number) + ",\"" + ToWindows1252(key.user) + "\"," + std::to_string(key.time) +
           "\r\n";
}

namespace {

// Walks the fields of a key file in order.
class FieldReader
{
public:
    explicit FieldReader(std::string_view bytes) : m_bytes(bytes) {}

    std::optional<std::string_view> next()
    {
        while (m_at < m_bytes.size() && (m_bytes[m_at] == ' ' || m_bytes[m_at] == '\t'))
            ++m_at;
        if (m_at >= m_bytes.size())
            return std::nullopt;
        std::string_view field;
        if (m_bytes[m_at] == '"') {
            // Up to the closing quote, commas and all; without one, the rest of the file.
            const std::size_t close = m_bytes.find('"', m_at + 1);
            field = m_bytes.substr(m_at + 1, close == std::string_view::npos ? close : close - m_at - 1);
            m_at = close == std::string_view::npos ? m_bytes.size() : close + 1;
            // Whatever stands between the closing quote and the next separator is not part of it.
            m_at = std::min(m_bytes.find_first_of(",\r\n", m_at), m_bytes.size());
        } else {
            const std::size_t end = std::min(m_bytes.find_first_of(",\r\n", m_at), m_bytes.size());
            field = m_bytes.substr(m_at, end - m_at);
            while (!field.empty() && (field.back() == ' ' || field.back() == '\t'))
                field.remove_suffix(1);
            m_at = end;
        }
        skipSeparator();
        return field;
    }

private:
    void skipSeparator()
    {
        if (m_at >= m_bytes.size())
            return;
        if (m_bytes[m_at] == ',' || m_bytes[m_at] == '\n') {
            ++m_at;
        } else if (m_bytes[m_at] == '\r') {
            ++m_at;
            if (m_at < m_bytes.size() && m_bytes[m_at] == '\n')
                ++m_at;
        }
    }

    std::string_view m_bytes;
    std::size_t m_at = 0;
};

} // namespace

Result<KeyFile> ParseKeyFile(std::string_view bytes)
{
    FieldReader fields(bytes.substr(0, KeyFileReadLimit));
    const auto number = fields.next();
    const auto user = fields.next();
    const auto time = fields.next();
    if (!number || !user || !time)
        return Messages::FileFailure(ErrorNumber::InputPastEnd);
    const Result<int> numberRead = ReadNumber(FromWindows1252(*number), NumberWidth::SignedInt32);
    const Result<int> timeRead = ReadNumber(FromWindows1252(*time), NumberWidth::SignedInt16);
    if (!numberRead.ok() || !timeRead.ok())
        return Messages::FileFailure(ErrorNumber::Overflow);
    return KeyFile{numberRead.value(), FromWindows1252(*user), static_cast<std::int16_t>(timeRead.value())};
}

} // namespace qel
