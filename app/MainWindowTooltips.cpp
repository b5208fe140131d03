// The tooltips of the main window's buttons, in the language of the card.
#include "app/CSamplePlayerDlg.h"
#include "app/texts/Tooltips.h"

namespace velomira {

int CSamplePlayerDlg::RegisterTooltips()
{
    if (m_language == m_lastTooltipLanguage)
        return 0;
    m_lastTooltipLanguage = m_language;
    if (m_language < 0 || m_language > 2)
        return 1;
    // A control has one tooltip: registering a new language replaces the earlier
    // text, so the tip always reads in the current language.
    for (const TooltipRow& row : TooltipTable()) {
        QWidget* control = Control(row.controlId);
        const std::optional<std::string> text = TooltipText(row.controlId, m_language);
        if (control != nullptr && text)
            control->setToolTip(QString::fromStdString(*text));
    }
    return 1;
}

} // namespace velomira
