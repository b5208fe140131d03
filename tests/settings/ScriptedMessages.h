#pragma once

#include <deque>
#include <vector>

#include "texts/MessageBoxService.h"

namespace velomira::test {

// Answers boxes from a script and records every box shown.
class ScriptedMessages : public MessageBoxService {
public:
    std::deque<MessageAnswer> answers;
    std::vector<MessageBoxRequest> shown;

    MessageAnswer Show(const MessageBoxRequest& request) override
    {
        shown.push_back(request);
        if (answers.empty())
            return MessageAnswer::Ok;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace velomira::test
