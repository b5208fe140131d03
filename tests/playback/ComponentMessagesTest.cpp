#include "playback/ComponentMessages.h"

#include <gtest/gtest.h>

#include <vector>

namespace velomira {
namespace {

class RecordingBoxes : public MessageBoxService {
public:
    MessageAnswer Show(const MessageBoxRequest& request) override
    {
        shown.push_back(request);
        return MessageAnswer::Ok;
    }
    std::vector<MessageBoxRequest> shown;
};

TEST(ComponentMessages, OnlyAMissingDemuxerOrVideoDecoderIsReported)
{
    const struct {
        int result;
        int language;
        const char* text;
        const char* title;
    } cases[] = {
        { -1, 2, "Source Filter가 등록되지 않았습니다.", "루미엘" },
        { -1, 1, "Source Filter is not registered.", "VELOMIRA6" },
        { -1, 0, "Source Filter is not registered.", "VELOMIRA6" },
        { -1, 7, "Source Filter is not registered.", "VELOMIRA6" },
        { -2, 2, "Video Filter(ffdshow)가 등록되지 않았습니다.", "루미엘" },
        { -2, 1, "Video Filter(ffdshow) is not registered.", "VELOMIRA6" },
        { -2, 0, "Video Filter(ffdshow) is not registered.", "VELOMIRA6" },
        { -3, 1, nullptr, nullptr },
        { -4, 2, nullptr, nullptr },
        { 1, 1, nullptr, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.result) + " in language " + std::to_string(c.language));
        RecordingBoxes boxes;
        const bool shown = ReportMissingComponents(c.result, c.language, boxes);
        if (c.text == nullptr) {
            EXPECT_FALSE(shown);
            EXPECT_TRUE(boxes.shown.empty());
            continue;
        }
        EXPECT_TRUE(shown);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, c.text);
        EXPECT_EQ(boxes.shown[0].title, c.title);
        EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
    }
}

} // namespace
} // namespace velomira
