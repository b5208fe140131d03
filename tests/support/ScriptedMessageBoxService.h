#pragma once

#include <deque>
#include <vector>

#include "texts/MessageBoxService.h"

namespace velomira::test {

// The message-box service of tests: answers from a script (first in, first out; the
// first button's answer when the script is empty) and a record of every box shown.
class ScriptedMessageBoxService : public MessageBoxService {
public:
    void Script(MessageAnswer answer) { m_answers.push_back(answer); }

    MessageAnswer Show(const MessageBoxRequest& request) override
    {
        m_shown.push_back(request);
        if (!m_answers.empty()) {
            const MessageAnswer answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        switch (request.buttons) {
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Yes;
        case MessageButtons::RetryCancel:
            return MessageAnswer::Retry;
        default:
            return MessageAnswer::Ok;
        }
    }

    const std::vector<MessageBoxRequest>& shown() const { return m_shown; }

private:
    std::deque<MessageAnswer> m_answers;
    std::vector<MessageBoxRequest> m_shown;
};

} // namespace velomira::test
