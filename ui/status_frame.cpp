#include "ui/status_frame.h"

#include <QPainter>

namespace ombrivale::ui {

namespace {

// Text heights in pixels at scale 1: the title sits on the top border, the
// label's text fills the 13-pixel-high label box.
constexpr int kTitlePixels = 9;
constexpr int kLabelPixels = 9;

}  // namespace

StatusFrame::StatusFrame(const QString& title, const QString& labelName, QWidget* parent)
    : QWidget(parent), title_(title), label_(new QLabel(this)) {
  label_->setObjectName(labelName);
  label_->setTextFormat(Qt::PlainText);
  label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // A long message is cut at the frame's edge instead of widening it.
  label_->setMinimumWidth(1);
}

void StatusFrame::Place(const TwipRect& frame, const TwipRect& label, int scale) {
  scale_ = std::max(scale, 1);
  setGeometry(ToPixels(frame, scale_));
  TwipRect inside = label;
  inside.width = frame.width - 2 * label.left;
  inside.height = frame.height - label.top - 45;
  label_->setGeometry(ToPixels(inside, scale_));
  QFont font = label_->font();
  font.setPixelSize(kLabelPixels * scale_);
  label_->setFont(font);
  update();
}

void StatusFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int s = scale_;
  QFont font = this->font();
  font.setPixelSize(kTitlePixels * s);
  font.setBold(true);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const int titleHeight = metrics.height();
  const int borderTop = titleHeight / 2;
  const QRect border = rect().adjusted(0, borderTop, -1, -1);

  // An etched line: dark, then light one pixel down and right.
  const QColor dark = palette().color(QPalette::Mid);
  const QColor light = palette().color(QPalette::Light);
  painter.setPen(light);
  painter.drawRect(border.translated(1, 1).adjusted(0, 0, -1, -1));
  painter.setPen(dark);
  painter.drawRect(border.adjusted(0, 0, -1, -1));

  const int textLeft = 6 * s;
  const int textWidth = metrics.horizontalAdvance(title_);
  painter.fillRect(QRect(textLeft - 2 * s, 0, textWidth + 4 * s, titleHeight),
                   palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(QRect(textLeft, 0, textWidth, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   title_);
}

}  // namespace ombrivale::ui
