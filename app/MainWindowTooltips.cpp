// The tooltips of the main window's buttons, in the language of the card.
#include "app/CSamplePlayerDlg.h"
#include "texts/Tooltips.h"

namespace velomira {

int CSamplePlayerDlg::RegisterTooltips()
{
    const TooltipRegistration registration = TooltipsToRegister(m_language, m_lastTooltipLanguage);
    if (!registration.changed)
        return 0;
    // A control has one tooltip: registering a new language replaces the earlier
    // text, so the tip always reads in the current language.
    for (const auto& [controlId, text] : registration.tips) {
        if (QWidget* control = Control(controlId))
            control->setToolTip(QString::fromStdString(text));
    }
    return 1;
}

} // namespace velomira
