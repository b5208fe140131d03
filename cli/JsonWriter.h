#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velomira {

// A small streaming JSON writer: values are appended in order and commas placed by the
// writer. Numbers are written with the shortest text that reads back as the same double
// (18.520000457763672 stays that); infinite and NaN values become null. Strings are
// escaped, and bytes that are not valid UTF-8 are written as U+FFFD.
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view value);
    JsonWriter& Number(double value);
    JsonWriter& Integer(std::int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return m_out; }

private:
    void BeforeValue();
    void AppendEscaped(std::string_view value);

    std::string m_out;
    std::vector<bool> m_firstInScope;
    bool m_afterKey = false;
};

// The shortest decimal text that reads back as `value` (finite values only).
std::string ShortestDouble(double value);

} // namespace velomira
