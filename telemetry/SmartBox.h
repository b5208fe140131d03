#pragma once

#include <functional>

#include <QWidget>

#include "telemetry/PanelGeometry.h"
#include "telemetry/TelemetryDisplays.h"

namespace velomira {

class CBitmapButton;
class CTextData;

// The speed text over the SMART box: painted in its paint event from the last update.
class SmartBoxText : public QWidget {
    Q_OBJECT
public:
    explicit SmartBoxText(QWidget* parent);
    void SetTexts(const QString& speed, const QString& unit);
    const QString& speedText() const { return m_speed; }
    const QString& unitText() const { return m_unit; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_speed;
    QString m_unit;
    QFont m_speedFont;
    QFont m_unitFont;
};

// The SMART box on the main window (button 5005): the driver-assistance picture of the
// sample at the play position and the speed. A state without a picture keeps the
// previous one; the speed is rewritten on every update.
class SmartBox : public SpeedDisplay {
public:
    SmartBox(CBitmapButton& button, const CTextData& store, std::function<int()> speedUnit);

    void RefreshSpeed(std::uint32_t positionMs, std::uint32_t durationMs) override
    {
        UpdateSmartBox(positionMs, durationMs);
    }
    void UpdateSmartBox(std::uint32_t positionMs, std::uint32_t durationMs);

    int pictureId() const;
    SmartBoxText& text() const { return *m_text; }

private:
    CBitmapButton& m_button;
    const CTextData& m_store;
    std::function<int()> m_speedUnit;
    SmartBoxText* m_text; // owned by the button
};

} // namespace velomira
