#pragma once

#include <cstdint>
#include <functional>

#include <QDialog>
#include <QFont>

#include "telemetry/GraphGeometry.h"

class QPushButton;

namespace velomira {

class CBitmapButton;
class CTextData;

// The detailed graph window: the whole recording in one of three graph modes with a
// grid, labels, a legend and the pointer's read-out. It does not follow the play
// position; it paints the store as it is at each paint.
class CGraphDlg : public QDialog {
    Q_OBJECT
public:
    struct Inputs {
        std::function<std::uint32_t()> durationMs;
        int displayMode = 0;
        int speedUnit = 0;
    };
    CGraphDlg(const CTextData& store, Inputs inputs, QWidget* parent = nullptr);

    int graphMode() const { return m_graphMode; }
    const GraphLayout& layout() const { return m_layout; }
    const QString& readout() const { return m_readout; }
    CBitmapButton* changeButton() const { return m_change; }

    // Button 2196: the next graph mode, its button pictures, a full repaint.
    void OnChangeGraph();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QRect ReadoutRect() const;

    const CTextData& m_store;
    Inputs m_inputs;
    GraphLayout m_layout;
    int m_graphMode = 0;
    QString m_readout;
    QFont m_labelFont;
    CBitmapButton* m_change = nullptr;
    QPushButton* m_test = nullptr;
};

} // namespace velomira
