#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velomira {

// The message a second start of the viewer sends to the one running: a header, then each
// absolute path ended by a NUL byte (a path can hold any other byte, a newline too), then
// an empty path. No path is the request to come to the front.
std::string EncodeHandOver(const std::vector<std::string>& paths);

// Reads the message as its bytes arrive, in pieces of any size.
class HandOverReader {
public:
    enum class State { NeedMore, Complete, Invalid };

    // The longest message taken; a sender that goes past it is cut off.
    static constexpr std::size_t kMaximumBytes = 1 << 20;

    State Feed(std::string_view bytes);
    State state() const { return m_state; }
    // The paths, once Complete.
    const std::vector<std::string>& paths() const { return m_paths; }

private:
    State m_state = State::NeedMore;
    std::string m_pending;
    std::size_t m_total = 0;
    bool m_headerRead = false;
    std::vector<std::string> m_paths;
};

} // namespace velomira
