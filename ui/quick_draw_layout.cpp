#include "ui/quick_draw_layout.h"

#include <algorithm>

namespace ombrivale::ui {
namespace {

// A figure size from a gene: never negative.
float Size(int gene, double scale) {
  return static_cast<float>(std::max(gene, 0) * scale);
}

// A place or size derived from stored values, kept in single precision.
float Store(double value) {
  return static_cast<float>(value);
}

uint32_t RgbOf(const ombrivale::Colour& colour) {
  return Rgb(colour.red, colour.green, colour.blue);
}

// Gives `figure` the body's background, style, fill colour and pattern.
void TakeBodyLook(Figure& figure, const Figure& body) {
  figure.BackColor = body.BackColor;
  figure.BackOpaque = body.BackOpaque;
  figure.FillColor = body.FillColor;
  figure.FillStyle = body.FillStyle;
}

void LayOutEgg(QuickDrawLayout& layout, const UnbornGenes& unborn, double scale) {
  layout.unbornVisible = true;
  layout.bornVisible = false;
  Figure& egg = layout.egg;
  egg.BackColor = Rgb(unborn.EggColor.Red, unborn.EggColor.Green, unborn.EggColor.Blue);
  egg.BackOpaque = true;
  egg.FillStyle = kFillTransparent;
  const int size = std::clamp<int>(unborn.EggSize, 0, kLargestEggSize);
  egg.Width = Store(size * 90 * (scale / 100));
  egg.Height = Store(static_cast<double>(egg.Width) * 1.5);
}

}  // namespace

double DrawingScale(int zoom) {
  return zoom / 100.0 * 150;
}

namespace {

void LayOutBody(Figure& body, const GeneSet& genes, double s) {
  body.BackColor = RgbOf(genes.Body.ColourY);
  body.FillColor = RgbOf(genes.Body.ColourX);
  // Body.Height is the horizontal extent, Body.Width the vertical one.
  body.Height = Size(genes.Body.Width, s);
  body.Width = Size(genes.Body.Height, s);
  switch (genes.Body.ColourContrast) {
    case 0:
      body.FillStyle = kFillTransparent;
      break;
    case 1:
      body.FillStyle = kFillDiagonalCross;
      break;
    case 2:
      body.FillStyle = kFillVertical;
      break;
    case 3:
      body.FillStyle = kFillCross;
      break;
    default:
      break;  // the pattern stays as it was
  }
}

// Limb 0 hangs at the body's front, limb 1 at its back.
void LayOutLimbs(QuickDrawLayout& layout, const GeneSet& genes, double s) {
  const Figure& body = layout.body;
  for (int k = 0; k < 2; ++k) {
    const Limb& limb = genes.Limb[k];
    Figure& upper = layout.upperlimb[k];
    Figure& lower = layout.lowerlimb[k];
    upper.Height = Size(limb.UpperLength, s);
    upper.Width = Size(limb.UpperWidth, s);
    lower.Height = Size(limb.LowerLength, s);
    lower.Width = Size(limb.LowerWidth, s);
    upper.Top = Store(body.Top + 3.0 / 4.0 * body.Height);
    lower.Top = Store(static_cast<double>(upper.Top) + upper.Height);
    TakeBodyLook(upper, body);
    TakeBodyLook(lower, body);
  }
  layout.upperlimb[0].Left =
      Store(static_cast<double>(body.Left) + body.Width - layout.upperlimb[0].Width);
  layout.upperlimb[1].Left = body.Left;
  for (int k = 0; k < 2; ++k) {
    const Figure& upper = layout.upperlimb[k];
    Figure& lower = layout.lowerlimb[k];
    lower.Left = Store(static_cast<double>(upper.Left) + upper.Width / 2.0 - lower.Width / 2.0);
  }
}

void LayOutTail(Figure& tail, const Figure& body, const GeneSet& genes, double s) {
  tail.Height = Size(genes.Tail.Length, s);
  tail.Width = Size(genes.Tail.Width, s);
  tail.Top = Store(static_cast<double>(body.Top) + body.Height / 2.0 - tail.Height);
  tail.Left = Store(static_cast<double>(body.Left) - tail.Width / 2.0);
  TakeBodyLook(tail, body);
}

// The head on its neck, with its mouth, nose and ear.
void LayOutHead(QuickDrawLayout& layout, const GeneSet& genes, double s) {
  const Figure& body = layout.body;
  Figure& head = layout.head;
  head.Height = Size(genes.Head.Height, s);
  head.Width = Size(genes.Head.Width, s);
  head.Left = Store(static_cast<double>(body.Left) + body.Width + genes.Head.NeckHeight * s);
  head.Top = Store(static_cast<double>(body.Top) + body.Height / 2.0 - genes.Head.NeckWidth * s -
                   head.Height / 2.0);
  TakeBodyLook(head, body);

  Figure& mouth = layout.mouth;
  Figure& nose = layout.nose;
  const uint8_t mouthNose = genes.Head.MouthNose;
  if (mouthNose == 0 || mouthNose == 1) {
    mouth.Height = Store(head.Height / 2.0);
    mouth.Width = mouthNose == 1 ? Size(genes.Head.MouthLength, s)
                                 : Store(std::max(genes.Head.MouthLength, int16_t{0}) / 2.0 * s);
    mouth.Left = Store(static_cast<double>(head.Left) + head.Width * 6.0 / 10.0);
    mouth.Top = Store(static_cast<double>(head.Top) + head.Height / 2.0);
    nose.Height = Store(head.Height / 4.0);
    nose.Width = Size(genes.Head.NoseLength, s);
    nose.Top = Store(static_cast<double>(mouth.Top) - nose.Height / 2.0);
    nose.Left = mouthNose == 1
                    ? Store(static_cast<double>(head.Left) + head.Width - nose.Width / 3.0)
                    : Store(static_cast<double>(mouth.Left) + mouth.Width - nose.Width);
  }
  TakeBodyLook(mouth, body);
  TakeBodyLook(nose, body);

  // The ear is sized in twips straight from the gene: it ignores the zoom.
  Figure& ear = layout.ear;
  ear.Height = static_cast<float>(std::max<int>(genes.Head.Audio.Resolution, 0));
  ear.Width = Store(ear.Height / 1.6);
  ear.Left = head.Left;
  ear.Top = Store(static_cast<double>(head.Top) + head.Height / 4.0);

  const double neckX = static_cast<double>(body.Left) + body.Width / 2.0;
  const double headX = static_cast<double>(head.Left) + head.Width / 2.0;
  layout.neck1 = {Store(neckX), body.Top, Store(headX),
                  Store(static_cast<double>(head.Top) + head.Height / 2.0)};
  layout.neck2 = {Store(neckX), Store(static_cast<double>(body.Top) + body.Height - 15),
                  Store(headX), Store(static_cast<double>(head.Top) + head.Height * 0.75)};
}

}  // namespace

void LayOutAnimal(QuickDrawLayout& layout, const Animal& animal, int stage, int zoom) {
  const double s = DrawingScale(zoom);
  if (stage == kStageEgg) {
    LayOutEgg(layout, animal.Unborn, s);
    return;
  }
  const GeneSet& genes = animal.Genes[stage >= 1 ? 1 : 0];
  layout.unbornVisible = false;
  layout.bornVisible = true;
  LayOutBody(layout.body, genes, s);
  LayOutLimbs(layout, genes, s);
  LayOutTail(layout.tail, layout.body, genes, s);
  LayOutHead(layout, genes, s);
}

}  // namespace ombrivale::ui
