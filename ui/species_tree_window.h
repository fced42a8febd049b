// The species tree window: every species of the world's history as a band
// along the statistics window's time axis, as thick as its adults, joined
// to its parent at the split (sim/species_tree_layout.h lays it out; this
// window paints it and answers the mouse).
//
// The window takes the history a few times a second while it is shown, and
// lays it out again only when a grouping was recorded since.
#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "sim/species_tree_layout.h"
#include "ui/main_window_services.h"

class QPainter;

namespace ombrivale::ui {

// Paints a scene (a white background, then its shapes) with `painter`.
void PaintSpeciesTreeScene(QPainter& painter, const SpeciesTreeScene& scene);

class SpeciesTreeWindow;

// The picture: a tool tip names the species under the pointer; a click
// chooses it, the wheel zooms the time axis around the pointer and a drag
// pans it.
class SpeciesTreeView : public QWidget {
  Q_OBJECT

 public:
  explicit SpeciesTreeView(SpeciesTreeWindow& window);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  SpeciesTreeWindow& window_;
  bool pressed_ = false;
  bool dragged_ = false;
  double pressX_ = 0;
  double pressFrom_ = 0;
  double pressTo_ = 0;
};

// Caption "Species Tree".
class SpeciesTreeWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SpeciesTreeWindow(MainWindowServices& services, QWidget* parent = nullptr);

  // Lays the history out again when a grouping was recorded since (the
  // window's own timer calls it while the window is shown).
  void Refresh();

  // The years shown. After "&Fit" the view follows the whole history as it
  // grows; a zoom or a pan holds it where it is put.
  double From() const { return from_; }
  double To() const { return to_; }
  void Fit();
  // Shows from..to, kept within the history and at least a month wide.
  void ShowYears(double from, double to);
  // The wheel: `steps` notches in (positive) or out around `years`.
  void Zoom(double years, double steps);

  // The band at a point of the picture, -1 for none; its tool tip.
  int BandAt(QPointF at) const;
  QString Describe(int band) const;
  // A click on the band: a living species' member nearest the mini map's
  // marker is chosen (properties, QuickDraw and tracking follow it, as on a
  // click on the mini map); of a species with none living, the properties
  // window shows its representative genome.
  void ChooseBand(int band);

  // Ask for a file through `chooseFile`, then write it; a failure is
  // reported in a message box. False when nothing was written. The picture
  // as shown (PNG, SVG), or the whole history for phylogenetics programs:
  // a Newick tree per world, or the ALife phylogeny table
  // (world/phylogeny_export.h).
  bool ExportPng();
  bool ExportSvg();
  bool ExportNewick();
  bool ExportPhylogenyCsv();
  bool ExportPng(const QString& path);
  bool ExportSvg(const QString& path);
  bool ExportNewick(const QString& path);
  bool ExportPhylogenyCsv(const QString& path);
  // A file name from the user: a save dialogue; empty when cancelled. Tests
  // replace it.
  std::function<QString(bool save, const QString& caption, const QString& filter)> chooseFile;

  // The picture at the view's size, as painted.
  QImage Picture();
  const SpeciesTreeLayout& Layout() const { return layout_; }
  SpeciesTreeView& View() { return *view_; }
  TreeFrame Frame() const;
  const SpeciesTreeScene& Scene();

 signals:
  // The properties window should show (a species was clicked).
  void ShowProperties();

 protected:
  // Shown again: the groupings recorded while hidden.
  void showEvent(QShowEvent* event) override;

 private:
  bool Export(const QString& caption, const QString& filter,
              bool (SpeciesTreeWindow::*write)(const QString&));
  bool WriteText(const QString& path, const std::string& text);

  MainWindowServices& services_;
  SpeciesTreeView* view_ = nullptr;
  SpeciesTreeLayout layout_;
  SpeciesTreeScene scene_;
  double from_ = 0;
  double to_ = 1;
  bool fitted_ = true;
  // What the layout was made from: the month after the last grouping, the
  // species and the grain then.
  uint64_t shownMonth_ = UINT64_MAX;
  size_t shownSpecies_ = 0;
  uint64_t shownGrain_ = 0;
};

}  // namespace ombrivale::ui
