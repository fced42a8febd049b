#include "ui/about_window.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace ombrivale::ui {

namespace {

// The scene is laid out on a 400 x 220 canvas and scaled to the picture.
constexpr double kCanvasWidth = 400;
constexpr double kCanvasHeight = 220;

// Ground height (canvas y of the surface) along the picture: a hill on the
// left, a basin holding the sea, and a lower hill on the right, joined by
// cosine curves through a few control points.
double GroundY(double x) {
  static constexpr double kPoints[][2] = {{0, 96},    {45, 72},   {95, 96},   {135, 150},
                                          {175, 196}, {230, 206}, {280, 188}, {318, 132},
                                          {358, 98},  {400, 88}};
  constexpr int kCount = sizeof kPoints / sizeof kPoints[0];
  int i = 0;
  while (i < kCount - 2 && x > kPoints[i + 1][0])
    ++i;
  const double t = std::clamp((x - kPoints[i][0]) / (kPoints[i + 1][0] - kPoints[i][0]), 0.0, 1.0);
  const double blend = (1 - std::cos(t * 3.14159265)) / 2;
  return kPoints[i][1] + (kPoints[i + 1][1] - kPoints[i][1]) * blend + 2.5 * std::sin(x * 0.31);
}

constexpr double kSeaY = 140;

void DrawWalker(QPainter& p, QPointF feet, double size, QColor body, bool facingRight) {
  const double dir = facingRight ? 1 : -1;
  p.setPen(QPen(body.darker(160), size * 0.09, Qt::SolidLine, Qt::RoundCap));
  // Legs
  p.drawLine(feet + QPointF(-0.3 * size, 0), feet + QPointF(-0.25 * size, -0.45 * size));
  p.drawLine(feet + QPointF(0.3 * size, 0), feet + QPointF(0.25 * size, -0.45 * size));
  // Tail
  p.drawLine(feet + QPointF(-0.5 * dir * size, -0.7 * size),
             feet + QPointF(-0.95 * dir * size, -0.95 * size));
  // Body and head
  p.setBrush(body);
  p.drawEllipse(QRectF(feet.x() - 0.6 * size, feet.y() - 0.95 * size, 1.2 * size, 0.6 * size));
  const QPointF neck = feet + QPointF(0.55 * dir * size, -0.85 * size);
  const QPointF head = feet + QPointF(0.85 * dir * size, -1.15 * size);
  p.drawLine(neck, head);
  p.drawEllipse(head, 0.22 * size, 0.18 * size);
  p.setBrush(Qt::black);
  p.setPen(Qt::NoPen);
  p.drawEllipse(head + QPointF(0.08 * dir * size, -0.04 * size), 0.045 * size, 0.045 * size);
}

void DrawSwimmer(QPainter& p, QPointF centre, double size, QColor body, bool facingRight) {
  const double dir = facingRight ? 1 : -1;
  p.setPen(QPen(body.darker(170), size * 0.06));
  p.setBrush(body);
  QPainterPath tail;
  tail.moveTo(centre + QPointF(-0.45 * dir * size, 0));
  tail.lineTo(centre + QPointF(-0.8 * dir * size, -0.22 * size));
  tail.lineTo(centre + QPointF(-0.8 * dir * size, 0.22 * size));
  tail.closeSubpath();
  p.drawPath(tail);
  p.drawEllipse(centre, 0.5 * size, 0.22 * size);
  p.setBrush(Qt::white);
  p.setPen(Qt::NoPen);
  p.drawEllipse(centre + QPointF(0.3 * dir * size, -0.05 * size), 0.06 * size, 0.06 * size);
}

void DrawFlyer(QPainter& p, QPointF centre, double size, QColor body) {
  p.setPen(QPen(body.darker(150), size * 0.12, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath wings;
  wings.moveTo(centre + QPointF(-size, -0.2 * size));
  wings.quadTo(centre + QPointF(-0.5 * size, -0.6 * size), centre);
  wings.quadTo(centre + QPointF(0.5 * size, -0.6 * size), centre + QPointF(size, -0.2 * size));
  p.drawPath(wings);
}

void DrawTuft(QPainter& p, QPointF base, double size, QColor colour) {
  p.setPen(QPen(colour, size * 0.18, Qt::SolidLine, Qt::RoundCap));
  for (int i = -2; i <= 2; ++i) {
    p.drawLine(base, base + QPointF(i * 0.28 * size, -size * (1.0 - 0.12 * std::abs(i))));
  }
}

// The sky with its sun, and the sea below the sea level.
void DrawSkyAndSea(QPainter& p) {
  QLinearGradient sky(0, 0, 0, kSeaY);
  sky.setColorAt(0, QColor(70, 90, 200));
  sky.setColorAt(1, QColor(160, 170, 255));
  p.fillRect(QRectF(0, 0, kCanvasWidth, kCanvasHeight), sky);

  // Sun
  QRadialGradient sun(QPointF(330, 42), 34);
  sun.setColorAt(0, QColor(255, 250, 210));
  sun.setColorAt(0.45, QColor(255, 230, 120));
  sun.setColorAt(1, QColor(255, 230, 120, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(sun);
  p.drawEllipse(QPointF(330, 42), 34, 34);

  // The sea fills everything below the sea level; the ground is drawn over it.
  QLinearGradient sea(0, kSeaY, 0, kCanvasHeight);
  sea.setColorAt(0, QColor(30, 60, 170));
  sea.setColorAt(1, QColor(0, 0, 100));
  p.fillRect(QRectF(0, kSeaY, kCanvasWidth, kCanvasHeight - kSeaY), sea);
}

// The ground, exposed yellow above the sea and olive below it, with its
// strata, and the sea line over it.
void DrawGround(QPainter& p) {
  QPainterPath ground;
  ground.moveTo(0, kCanvasHeight);
  for (double x = 0; x <= kCanvasWidth; x += 2)
    ground.lineTo(x, GroundY(x));
  ground.lineTo(kCanvasWidth, kCanvasHeight);
  ground.closeSubpath();
  p.save();
  p.setClipRect(QRectF(0, 0, kCanvasWidth, kSeaY));
  p.setBrush(QColor(235, 215, 60));
  p.drawPath(ground);
  p.restore();
  p.save();
  p.setClipRect(QRectF(0, kSeaY, kCanvasWidth, kCanvasHeight - kSeaY));
  p.setBrush(QColor(128, 128, 0));
  p.drawPath(ground);
  p.restore();
  // Strata lines in the ground.
  p.setBrush(Qt::NoBrush);
  for (int layer = 1; layer <= 3; ++layer) {
    QPainterPath stratum;
    stratum.moveTo(0, GroundY(0) + layer * 16);
    for (double x = 0; x <= kCanvasWidth; x += 4)
      stratum.lineTo(x, GroundY(x) + layer * 16);
    p.setPen(QPen(QColor(100, 90, 20, 90), 1.2));
    p.drawPath(stratum);
  }

  // The sea line.
  p.setPen(QPen(QColor(10, 20, 60), 1.0));
  p.drawLine(QPointF(0, kSeaY), QPointF(kCanvasWidth, kSeaY));
}

// Sea scum at the surface, water plants on the sea floor, land plants on
// the hills and meat left by a death.
void DrawFood(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 255, 255));
  for (double x = 4; x < kCanvasWidth; x += 7) {
    if (GroundY(x) > kSeaY + 3)
      p.drawEllipse(QPointF(x, kSeaY + 3 + std::fmod(x * 7, 4)), 1.6, 1.2);
  }
  for (double x = 12; x < kCanvasWidth; x += 19) {
    const double floor = GroundY(x);
    if (floor > kSeaY + 14) DrawTuft(p, QPointF(x, floor), 10, QColor(0, 220, 0));
  }
  for (double x = 6; x < kCanvasWidth; x += 17) {
    const double surface = GroundY(x);
    if (surface < kSeaY - 4) DrawTuft(p, QPointF(x, surface + 1), 8, QColor(0, 128, 0));
  }
  // Meat left by a death.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(128, 0, 0));
  p.drawEllipse(QPointF(100, GroundY(100) - 1.5), 4, 2.2);
}

// Walkers on the hills, swimmers in the sea, flyers in the sky, eggs on the
// shore.
void DrawAnimals(QPainter& p) {
  DrawWalker(p, QPointF(48, GroundY(48)), 15, QColor(225, 60, 40), true);
  DrawWalker(p, QPointF(78, GroundY(78)), 10, QColor(255, 160, 20), false);
  DrawWalker(p, QPointF(380, GroundY(380)), 12, QColor(200, 40, 90), false);
  DrawSwimmer(p, QPointF(196, 166), 14, QColor(255, 90, 60), true);
  DrawSwimmer(p, QPointF(250, 178), 10, QColor(255, 200, 0), false);
  DrawSwimmer(p, QPointF(214, 192), 8, QColor(220, 40, 120), true);
  DrawSwimmer(p, QPointF(158, 152), 7, QColor(255, 120, 0), false);
  DrawFlyer(p, QPointF(150, 48), 9, QColor(60, 20, 20));
  DrawFlyer(p, QPointF(178, 36), 6, QColor(60, 20, 20));
  // Eggs on the shore.
  p.setPen(QPen(QColor(120, 120, 120), 0.6));
  p.setBrush(QColor(192, 192, 192));
  p.drawEllipse(QPointF(336, GroundY(336) - 3), 2.4, 3.2);
  p.drawEllipse(QPointF(342, GroundY(342) - 3), 2.4, 3.2);
}

void DrawScene(QPainter& p) {
  DrawSkyAndSea(p);
  DrawGround(p);
  DrawFood(p);
  DrawAnimals(p);
}

}  // namespace

QImage DrawPlanetPicture(QSize size, bool round) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  if (round) {
    QPainterPath disc;
    disc.addEllipse(QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0));
    p.setClipPath(disc);
    // Keep the middle of the scene (hill, shore and sea) in the disc.
    const double scale = size.height() / kCanvasHeight;
    p.scale(scale, scale);
    p.translate(-(kCanvasWidth - kCanvasHeight) / 2 + 20, 0);
  } else {
    p.scale(size.width() / kCanvasWidth, size.height() / kCanvasHeight);
  }
  DrawScene(p);
  if (round) {
    p.resetTransform();
    p.setClipping(false);
    p.setPen(QPen(QColor(20, 30, 70), std::max(1.0, size.width() / 32.0)));
    p.setBrush(Qt::NoBrush);
    const double inset = std::max(1.0, size.width() / 32.0) / 2;
    p.drawEllipse(QRectF(inset, inset, size.width() - 2 * inset, size.height() - 2 * inset));
  }
  return image;
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("About"));
  setWindowTitle(QStringLiteral("About Ombrivale"));
  setModal(true);

  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("Picture"));
  const qreal ratio = devicePixelRatioF();
  QImage image = DrawPlanetPicture(QSize(qRound(400 * ratio), qRound(220 * ratio)));
  image.setDevicePixelRatio(ratio);
  picture->setPixmap(QPixmap::fromImage(image));
  picture->setAlignment(Qt::AlignCenter);

  auto* name = new QLabel(QStringLiteral("Ombrivale"), this);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 2.2);
  big.setBold(true);
  name->setFont(big);
  name->setAlignment(Qt::AlignCenter);

  auto* credit =
      new QLabel(QStringLiteral("Evolution by natural selection, by Brenlo Ostik"), this);
  credit->setAlignment(Qt::AlignCenter);
  auto* date = new QLabel(QStringLiteral("Version " OMBRIVALE_VERSION ", December 2026"), this);
  date->setObjectName(QStringLiteral("Date"));
  date->setAlignment(Qt::AlignCenter);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(picture);
  layout->addWidget(name);
  layout->addWidget(credit);
  layout->addWidget(date);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace ombrivale::ui
