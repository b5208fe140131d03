#include "cli/JsonWriter.h"

#include <charconv>
#include <cmath>

namespace velomira {
namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

std::string ShortestDouble(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void JsonWriter::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_firstInScope.empty()) {
        if (!m_firstInScope.back())
            m_out += ',';
        m_firstInScope.back() = false;
    }
}

JsonWriter& JsonWriter::BeginObject()
{
    BeforeValue();
    m_out += '{';
    m_firstInScope.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    m_out += '}';
    m_firstInScope.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    BeforeValue();
    m_out += '[';
    m_firstInScope.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    m_out += ']';
    m_firstInScope.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key)
{
    BeforeValue();
    AppendEscaped(key);
    m_out += ':';
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view value)
{
    BeforeValue();
    AppendEscaped(value);
    return *this;
}

JsonWriter& JsonWriter::Number(double value)
{
    if (!std::isfinite(value))
        return Null();
    BeforeValue();
    m_out += ShortestDouble(value);
    return *this;
}

JsonWriter& JsonWriter::Integer(std::int64_t value)
{
    BeforeValue();
    m_out += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    m_out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    m_out += "null";
    return *this;
}

void JsonWriter::AppendEscaped(std::string_view value)
{
    static constexpr char kHex[] = "0123456789abcdef";
    m_out += '"';
    for (std::size_t i = 0; i < value.size();) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c == '"' || c == '\\') {
            m_out += '\\';
            m_out += static_cast<char>(c);
            ++i;
        } else if (c == '\n') {
            m_out += "\\n";
            ++i;
        } else if (c == '\t') {
            m_out += "\\t";
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            m_out += "\\u00";
            m_out += kHex[c >> 4];
            m_out += kHex[c & 15];
            ++i;
        } else {
            const std::size_t length = Utf8SequenceLength(value, i);
            if (length == 0) {
                m_out += "\\ufffd";
                ++i;
            } else {
                m_out.append(value.substr(i, length));
                i += length;
            }
        }
    }
    m_out += '"';
}

} // namespace velomira
