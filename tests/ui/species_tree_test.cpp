// The species tree window, driven by the mouse.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include "behaviour/species.h"
#include "core/helpers.h"
#include "support/test_world.h"
#include "ui/properties_window.h"
#include "ui/species_tree_window.h"
#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

// Three clones (one species) at cells 20, 100 and 180 of row 10, living for
// two years; a second species split off in month 6 and died out in month 12,
// its representative a taller animal.
struct TreeWorld {
  TestMainWindow t{TestMainWindow::StartedPaused{}};
  World& world = t.world();
  int32_t living = 0;
  int32_t extinct = 0;
  Animal representative;

  TreeWorld() {
    for (const int slot : {1, 2, 3})
      PutAnimal(world, slot, 2000 + 8000 * (slot - 1), 1000);
    GroupSpecies(world);
    living = SpeciesOf(world, 1);
    extinct = living + 1;
    representative = AnimalAt(world, 1);
    representative.Genes[1].Body.Height = 7;
    SpeciesHistory& history = world.speciesHistory;
    history = SpeciesHistory{};
    SpeciesLife* life = &AddSpeciesLife(history, living, 0, 0, 3);
    for (uint64_t month = 1; month < 24; ++month) {
      if (month == 6) {
        AddSpeciesLife(history, extinct, living, 6, 40).representative = representative;
        life = FindSpeciesLife(history, living);
      }
      if (month > 6 && month <= 12) {
        NoteSpeciesCount(history, *FindSpeciesLife(history, extinct), month, 40);
      }
      NoteSpeciesCount(history, *life, month, 3);
      history.nextMonth = month + 1;
    }
  }

  // The middle of `number`'s band at `years`, in the view.
  QPoint At(ui::SpeciesTreeWindow& tree, int32_t number, double years) {
    const TreeFrame frame = tree.Frame();
    for (const SpeciesBand& band : tree.Layout().bands) {
      if (band.number == number) return QPointF(frame.X(years), frame.Y(band.Centre())).toPoint();
    }
    return {};
  }
};

void Wheel(QWidget& view, QPoint at, int notches) {
  QWheelEvent event(at, view.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &event);
}

TEST(SpeciesTreeTest, ClicksChooseAMemberOrShowTheRepresentativeAndTheWheelZooms) {
  TreeWorld w;
  ui::MainWindow& window = *w.t.window;
  window.Action("menu_window_species")->trigger();
  ui::SpeciesTreeWindow* tree = window.SpeciesTreeIfCreated();
  ASSERT_NE(tree, nullptr);
  EXPECT_TRUE(window.IsShown(tree));
  tree->Refresh();
  ASSERT_EQ(tree->Layout().bands.size(), 2u);
  EXPECT_DOUBLE_EQ(tree->To(), 2.0);  // the whole history
  QWidget& view = tree->View();
  EXPECT_TRUE(
      tree->Describe(tree->BandAt(w.At(*tree, w.extinct, 0.8)))
          .startsWith(
              QStringLiteral("Species %1\nParent: species %2\n").arg(w.extinct).arg(w.living)));
  EXPECT_TRUE(tree->Describe(tree->BandAt(w.At(*tree, w.living, 1.5)))
                  .endsWith(QStringLiteral("Last: alive\nPeak: 3 adults\nLiving members: 3")));

  // A living species: its member nearest the marker (at cell 180, 10).
  Display& display = window.GetDisplay();
  const struct {
    double cellX;
    int slot;
  } marks[] = {{180, 3}, {15, 1}, {110, 2}};
  for (const auto& mark : marks) {
    display.Image1.Left = mark.cellX * kTwipsPerPixel - display.Image1.Width / 2;
    display.Image1.Top = 10 * kTwipsPerPixel - display.Image1.Height / 2;
    QTest::mouseClick(&view, Qt::LeftButton, {}, w.At(*tree, w.living, 1.5));
    EXPECT_EQ(display.SelectedAnimal, mark.slot) << mark.cellX;
    EXPECT_EQ(window.PropertiesIfCreated()->ChosenNumber(), mark.slot);
  }
  EXPECT_TRUE(window.IsShown(window.PropertiesIfCreated()));
  EXPECT_NE(window.QuickDrawIfCreated(), nullptr);

  // An extinct one: its representative's genes, no slot chosen.
  QTest::mouseClick(&view, Qt::LeftButton, {}, w.At(*tree, w.extinct, 0.8));
  ui::PropertiesWindow& properties = *window.PropertiesIfCreated();
  EXPECT_EQ(properties.ChosenNumber(), 0);
  const std::vector<std::string> expected = ui::CharacteristicValues(w.representative);
  ASSERT_EQ(static_cast<size_t>(properties.List3()->count()), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(properties.List3()->item(static_cast<int>(i))->text().toStdString(), expected[i]);
  EXPECT_TRUE(properties.LabelSpecies()->text().contains(QStringLiteral("representative")));

  // Two notches in around the pointer, one out, then Fit.
  const QPoint middle = w.At(*tree, w.living, 1.0);
  Wheel(view, middle, 2);
  EXPECT_NEAR(tree->To() - tree->From(), 2 * 0.64, 1e-9);
  EXPECT_NEAR(tree->Frame().Years(middle.x()), 1.0, 0.01);  // stays under the pointer
  Wheel(view, middle, -1);
  EXPECT_NEAR(tree->To() - tree->From(), 2 * 0.8, 1e-9);
  QTest::mouseClick(tree->findChild<QPushButton*>(QStringLiteral("Fit")), Qt::LeftButton);
  EXPECT_EQ(tree->From(), 0);
  EXPECT_EQ(tree->To(), 2.0);
}

TEST(SpeciesTreeTest, ExportsWriteEveryFormatAFailureSaysSoAndTheWindowComesBack) {
  TreeWorld w;
  ui::MainWindow& window = *w.t.window;
  window.ShowSpeciesTree();
  ui::SpeciesTreeWindow& tree = *window.SpeciesTreeIfCreated();
  tree.Refresh();
  QString answer;
  tree.chooseFile = [&answer](bool save, const QString&, const QString&) {
    EXPECT_TRUE(save);
    return answer;
  };
  const QString folder = w.t.folder.path();
  const struct {
    const char* button;
    QString path;
    bool written;
  } cases[] = {
      {"ExportPng", folder + "/tree.png", true},
      {"ExportSvg", folder + "/tree.svg", true},
      {"ExportNewick", folder + "/tree.nwk", true},
      {"ExportCsv", folder + "/tree.csv", true},
      {"ExportPng", folder + "/no such folder/tree.png", false},
      {"ExportSvg", folder + "/no such folder/tree.svg", false},
  };
  for (const auto& c : cases) {
    window.QtWindowSeam().ClearBoxes();
    answer = c.path;
    QTest::mouseClick(tree.findChild<QPushButton*>(QString::fromLatin1(c.button)), Qt::LeftButton);
    EXPECT_EQ(QFile::exists(c.path), c.written) << qPrintable(c.path);
    ASSERT_EQ(window.QtWindowSeam().Boxes().size(), c.written ? 0u : 1u);
    if (!c.written) {
      EXPECT_EQ(window.QtWindowSeam().Boxes()[0].title, "ERROR");
    }
  }
  EXPECT_EQ(QImage(folder + "/tree.png").size(), tree.View().size());
  QFile svg(folder + "/tree.svg");
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  const QByteArray text = svg.readAll();
  EXPECT_TRUE(text.contains("<svg") && text.contains("</svg>"));
  EXPECT_EQ(text.count("<polygon"), 2);
  const auto read = [&folder](const char* name) {
    QFile file(folder + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  EXPECT_TRUE(read("/tree.nwk").contains(QStringLiteral("S%1").arg(w.extinct).toLatin1()));
  EXPECT_TRUE(read("/tree.csv").startsWith("id,ancestor_list,origin_time,destruction_time"));
  // Shown when the program quits: shown at the next start.
  window.Quit();
  ASSERT_TRUE(w.t.ended);
  const auto again = StartAgain(folder);
  EXPECT_TRUE(again->IsShown(again->SpeciesTreeIfCreated()));
  again->Run().SetPaused(true);
}

}  // namespace
}  // namespace ombrivale::testing
