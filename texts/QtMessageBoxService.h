#pragma once

#include "texts/MessageBoxService.h"

class QWidget;

namespace velomira {

// The message boxes of the window system: a modal QMessageBox on `parent`. A request
// without a title is titled with the application's name; the application's own
// boxes (no title) get the exclamation icon for OK and OK/Cancel and the question
// icon for Yes/No when the caller names no icon.
class QtMessageBoxService : public MessageBoxService {
public:
    explicit QtMessageBoxService(QWidget* parent)
        : m_parent(parent)
    { }
    MessageAnswer Show(const MessageBoxRequest& request) override;

private:
    QWidget* m_parent;
};

// The icon a box shows: the request's own, or for an untitled box the default of its
// button set.
MessageIcon EffectiveIcon(const MessageBoxRequest& request);

} // namespace velomira
