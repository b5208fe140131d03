#include "telemetry/SmartBox.h"

#include <QPainter>

#include "skin/CBitmapButton.h"
#include "telemetry/TelemetryPanel.h"

namespace velomira {

SmartBoxText::SmartBoxText(QWidget* parent)
    : QWidget(parent)
    , m_speedFont(CellFont(QStringLiteral("Arial"), 42))
    , m_unitFont(CellFont(QStringLiteral("Arial"), 15))
{
    // Clicks go to the button below.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 180, 165);
}

void SmartBoxText::SetTexts(const QString& speed, const QString& unit)
{
    if (speed == m_speed && unit == m_unit)
        return;
    m_speed = speed;
    m_unit = unit;
    update();
}

void SmartBoxText::paintEvent(QPaintEvent*)
{
    // Transparent background, the window system's default text colour.
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setFont(m_speedFont);
    painter.drawText(QRect(QPoint(30, 25), QPoint(110, 150)),
        Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, m_speed);
    painter.setFont(m_unitFont);
    painter.drawText(QRect(QPoint(113, 45), QPoint(150, 150)),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_unit);
}

SmartBox::SmartBox(CBitmapButton& button, const CTextData& store, std::function<int()> speedUnit)
    : m_button(button)
    , m_store(store)
    , m_speedUnit(std::move(speedUnit))
    , m_text(new SmartBoxText(&button))
{
    m_text->show();
}

int SmartBox::pictureId() const
{
    return m_button.normalImageId();
}

void SmartBox::UpdateSmartBox(std::uint32_t positionMs, std::uint32_t durationMs)
{
    const SmartBoxPicture picture
        = ComposeSmartBox(m_store, positionMs, durationMs, m_speedUnit ? m_speedUnit() : kUnitKmh);
    if (picture.pictureId && *picture.pictureId != m_button.normalImageId()) {
        m_button.SetImages(*picture.pictureId, *picture.pictureId, *picture.pictureId);
        m_button.update();
    }
    m_text->SetTexts(
        QString::fromStdString(picture.speedText), QString::fromStdString(picture.unitText));
}

} // namespace velomira
