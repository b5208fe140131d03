#include "telemetry/CGraphDlg.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "skin/CBitmapButton.h"
#include "telemetry/CTextData.h"
#include "telemetry/TelemetryPanel.h"

namespace velomira {

namespace {

const QColor kBackground(12, 12, 12);
const QColor kGridColour(28, 77, 91);
const QColor kControlText(128, 128, 128);
const std::array<QColor, 3> kAxisColours
    = { QColor(255, 255, 255), QColor(0, 255, 255), QColor(0, 255, 0) };

QPen Pen(const QColor& colour, int width)
{
    QPen pen(colour, width);
    pen.setCapStyle(Qt::FlatCap);
    // One-pixel lines take the raster engine's fast path.
    pen.setCosmetic(width == 1);
    return pen;
}

QColor AxisColour(CurveAxis axis)
{
    return kAxisColours[static_cast<std::size_t>(axis)];
}

} // namespace

CGraphDlg::CGraphDlg(const CTextData& store, Inputs inputs, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
    , m_inputs(std::move(inputs))
    , m_layout(GraphLayoutFor(m_inputs.displayMode))
    , m_labelFont(CellFont(QStringLiteral("Arial"), 14, 7, true))
{
    setObjectName(QStringLiteral("359"));
    setWindowTitle(QStringLiteral("Graph"));
    setFixedSize(m_layout.windowWidth, m_layout.windowHeight);
    move(0, 0);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBackground);
    colours.setColor(QPalette::WindowText, kControlText);
    colours.setColor(QPalette::ButtonText, kControlText);
    setPalette(colours);

    m_change = new CBitmapButton(this);
    m_change->setObjectName(QStringLiteral("2196"));
    m_change->setText(QStringLiteral("Change Graph"));
    m_change->setAccessibleName(QStringLiteral("Change Graph"));
    m_change->setGeometry(920, 530, 40, 39);
    const auto images = GraphModeImages(0);
    m_change->SetImages(images[0], images[1]);
    connect(m_change, &QAbstractButton::clicked, this, &CGraphDlg::OnChangeGraph);

    m_test = new QPushButton(QStringLiteral("TEST"), this);
    m_test->setObjectName(QStringLiteral("1252"));
    m_test->setGeometry(870, 530, 40, 39);
    m_test->hide();
}

void CGraphDlg::OnChangeGraph()
{
    m_graphMode = NextGraphMode(m_graphMode);
    const auto images = GraphModeImages(m_graphMode);
    m_change->SetImages(images[0], images[1]);
    update();
}

QRect CGraphDlg::ReadoutRect() const
{
    return QRect(60, 10, 120, 20);
}

void CGraphDlg::mouseMoveEvent(QMouseEvent* event)
{
    const int y = static_cast<int>(event->position().y());
    m_readout = QString::fromStdString(GraphReadout(m_graphMode, y, m_inputs.speedUnit));
    update(ReadoutRect());
    QDialog::mouseMoveEvent(event);
}

void CGraphDlg::paintEvent(QPaintEvent*)
{
    const GraphLayout& g = m_layout;
    const std::uint32_t durationMs = m_inputs.durationMs ? m_inputs.durationMs() : 0;
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);

    // Grid and frame.
    painter.setPen(Pen(kGridColour, 1));
    for (const int x : GraphGridXs(g, durationMs))
        painter.drawLine(x, g.y0, x, g.top());
    for (int k = 1; k <= 20; ++k)
        painter.drawLine(g.x0, g.y0 - k * g.rowHeight, g.x0 + g.plotWidth, g.y0 - k * g.rowHeight);
    painter.setPen(Pen(kGridColour, 2));
    painter.drawLine(g.x0, g.y0, g.x0 + g.plotWidth, g.y0);
    painter.drawLine(g.x0, g.y0, g.x0, g.top());
    painter.drawLine(g.x0 + g.plotWidth, g.y0, g.x0 + g.plotWidth, g.top());
    painter.drawLine(g.x0, g.top(), g.x0 + g.plotWidth, g.top());

    // Labels, white on the background, right-aligned beside each row line.
    painter.setFont(m_labelFont);
    painter.setPen(Qt::white);
    const auto labels = GraphLabels(m_graphMode, m_inputs.speedUnit);
    for (int k = 0; k <= 20; ++k) {
        const QRect box(QPoint(g.x0 - 55, g.y0 - 7 - k * g.rowHeight),
            QPoint(g.x0 - 5, g.y0 + 13 - k * g.rowHeight));
        const QString text = QString::fromStdString(labels[static_cast<std::size_t>(k)]);
        // "200kph" is wider than the box: it runs past its left edge instead of being cut.
        const int flags = Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
        painter.fillRect(painter.boundingRect(box, flags, text), kBackground);
        painter.drawText(box, flags, text);
    }

    // Legend.
    for (const GraphLegendEntry& entry : GraphLegend(g, m_graphMode)) {
        painter.setPen(AxisColour(entry.axis));
        painter.drawText(QRect(QPoint(g.x0 + 750, 24), QPoint(entry.right, 65)),
            Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, QString::fromStdString(entry.text));
    }

    // Curves, every sample on every paint.
    for (const GraphPolyline& curve :
        GraphCurves(g, m_store, durationMs, m_graphMode, m_inputs.speedUnit)) {
        painter.setPen(Pen(AxisColour(curve.axis), 1));
        std::vector<QPoint> points;
        points.reserve(curve.points.size());
        for (const PixelPoint& p : curve.points)
            points.emplace_back(p.x, p.y);
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }

    // The pointer's read-out, over whatever lies there.
    if (!m_readout.isEmpty()) {
        const QRect box = ReadoutRect();
        painter.fillRect(
            painter.boundingRect(box, Qt::AlignLeft | Qt::AlignTop, m_readout) & box, kBackground);
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_readout);
    }
}

} // namespace velomira
