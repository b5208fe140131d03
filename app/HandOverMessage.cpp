#include "app/HandOverMessage.h"

namespace velomira {
namespace {

constexpr std::string_view kHeader = "VELOMIRA-OPEN/1";

} // namespace

std::string EncodeHandOver(const std::vector<std::string>& paths)
{
    std::string message(kHeader);
    message += '\0';
    for (const std::string& path : paths) {
        if (path.empty() || path.find('\0') != std::string::npos)
            continue;
        message += path;
        message += '\0';
    }
    message += '\0';
    return message;
}

HandOverReader::State HandOverReader::Feed(std::string_view bytes)
{
    if (m_state != State::NeedMore)
        return m_state;
    m_total += bytes.size();
    if (m_total > kMaximumBytes) {
        m_state = State::Invalid;
        return m_state;
    }
    m_pending.append(bytes);
    std::size_t start = 0;
    for (std::size_t end; (end = m_pending.find('\0', start)) != std::string::npos;
         start = end + 1) {
        const std::string_view word(m_pending.data() + start, end - start);
        if (!m_headerRead) {
            if (word != kHeader) {
                m_state = State::Invalid;
                return m_state;
            }
            m_headerRead = true;
            continue;
        }
        if (word.empty()) {
            m_state = end + 1 == m_pending.size() ? State::Complete : State::Invalid;
            return m_state;
        }
        m_paths.emplace_back(word);
    }
    m_pending.erase(0, start);
    // A header that cannot come is refused early, before the limit.
    if (!m_headerRead && !kHeader.starts_with(m_pending))
        m_state = State::Invalid;
    return m_state;
}

} // namespace velomira
