#include "ui/map_legend.h"

#include <QPainter>
#include <QStringList>

#include "world/map_colouring.h"

namespace ombrivale::ui {

namespace {

constexpr int kMargin = 4;        // pixels around and between the parts
constexpr int kScaleWidth = 160;  // pixels of the colour scale

QColor ColourOf(uint32_t rgb) {
  return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u));
}

// A scale's end: whole numbers as they are, others to two places.
QString ValueText(double value) {
  return value == static_cast<double>(static_cast<long long>(value))
             ? QString::number(static_cast<long long>(value))
             : QString::number(value, 'f', 2);
}

QString EntryText(const LegendEntry& entry) {
  return QString::fromStdString(entry.name) + QLatin1Char(' ') + QString::number(entry.count);
}

}  // namespace

QString LegendText(const Legend& legend) {
  QStringList parts;
  for (const LegendEntry& entry : legend.entries)
    parts << EntryText(entry);
  QString text = QString::fromStdString(legend.title) + QStringLiteral(": ");
  if (!legend.continuous) return text + parts.join(QStringLiteral(", "));
  text += ValueText(legend.low) + QStringLiteral(" .. ") + ValueText(legend.high);
  if (!parts.isEmpty()) text += QStringLiteral(" (") + parts.join(QStringLiteral(", ")) + ')';
  return text;
}

MapLegendWidget::MapLegendWidget(const Display& display, QWidget* parent)
    : QWidget(parent), display_(display) {
  setObjectName(QStringLiteral("MapLegend"));
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setVisible(false);
}

QSize MapLegendWidget::sizeHint() const {
  return QSize(kScaleWidth * 3, fontMetrics().height() + 2 * kMargin);
}

void MapLegendWidget::Refresh() {
  const bool shown = display_.colourBy.by != ColourBy::Real;
  if (shown != isVisible()) setVisible(shown);
  if (shown) update();
}

void MapLegendWidget::paintEvent(QPaintEvent*) {
  if (beforePaint) beforePaint();
  const Legend& legend = display_.colouring.legend;
  setToolTip(LegendText(legend));
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const int swatch = metrics.ascent();
  const int top = (height() - swatch) / 2;
  const int baseline = (height() + metrics.ascent() - metrics.descent()) / 2;
  int x = kMargin;
  const auto text = [&](const QString& words) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(x, baseline, words);
    x += painter.fontMetrics().horizontalAdvance(words) + kMargin;
  };
  const auto box = [&](uint32_t rgb) {
    painter.fillRect(QRect(x, top, swatch, swatch), ColourOf(rgb));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(QRect(x, top, swatch, swatch));
    x += swatch + kMargin / 2;
  };
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  text(QString::fromStdString(legend.title));
  x += kMargin;
  painter.setFont(font());
  if (legend.continuous) {
    text(ValueText(legend.low));
    for (int i = 0; i < kScaleWidth; ++i) {
      painter.setPen(ColourOf(ScaleColour(static_cast<double>(i) / (kScaleWidth - 1))));
      painter.drawLine(x + i, top, x + i, top + swatch);
    }
    x += kScaleWidth + kMargin;
    text(ValueText(legend.high));
    x += kMargin;
  }
  // What does not fit is left to the tool tip, which lists it all.
  for (const LegendEntry& entry : legend.entries) {
    const QString words = EntryText(entry);
    if (x + swatch + metrics.horizontalAdvance(words) > width()) {
      text(QStringLiteral("..."));
      break;
    }
    box(entry.colour);
    text(words);
    x += kMargin;
  }
}

}  // namespace ombrivale::ui
