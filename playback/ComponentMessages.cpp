#include "playback/ComponentMessages.h"

#include "texts/TextCatalogue.h"

namespace velomira {

bool ReportMissingComponents(int checkResult, int language, MessageBoxService& boxes)
{
    MessageUse use;
    if (checkResult == -1)
        use = MessageUse::SourceFilterMissing;
    else if (checkResult == -2)
        use = MessageUse::VideoFilterMissing;
    else
        return false;
    const std::optional<MessageBoxRequest> request = ComposeMessage(use, language);
    if (!request)
        return false;
    boxes.Show(*request);
    return true;
}

} // namespace velomira
