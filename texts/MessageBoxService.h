#pragma once

#include <string>

namespace velomira {

// A modal message box as the viewer's commands raise it. Texts are UTF-8. An empty
// title means the application's name ("VELOMIRA6 Viewer").
enum class MessageIcon { None, Information, Exclamation, Question, Error };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

struct MessageBoxRequest {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Every message box of the viewer goes through this one service: the window shows
// QMessageBox, tests script the answers and record what was shown.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MessageAnswer Show(const MessageBoxRequest& request) = 0;
};

} // namespace velomira
