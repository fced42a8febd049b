// The family tree window and the mini map coloured by species.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "behaviour/species.h"
#include "core/helpers.h"
#include "genetics/body_measures.h"
#include "support/test_world.h"
#include "support/world_files_support.h"
#include "ui/family_tree_window.h"
#include "ui/map_legend.h"
#include "ui_test_support.h"
#include "world/map_colouring.h"
#include "world/map_picture.h"
#include "world/phylogeny_export.h"
#include "world/species_colours.h"

namespace ombrivale::testing {
namespace {

// Founders in slots 1 and 2 (ids 1, 2); their young (id 5) in slot 5, born
// in March of year 7, over slot 5's founder (id 4); founder 3 died. Both
// leave the record at the pruning.
void PutFamily(World& world) {
  for (const int slot : {1, 2, 3})
    PutAnimal(world, slot, 1000 * slot, 1000);
  PutAnimal(world, 5, 5000, 1000);
  RecordYoung(world.lineage, 5, 1, 2, 7, 3, 100);
  AnimalAt(world, 3).Alive = 0;
  PruneLineage(world.lineage, world.Animals);
}

TEST(FamilyTreeTest, ShowsTheTrackedAnimalsParentsAndALivingOneShowsItsGenes) {
  TestMainWindow t;
  PutFamily(t.world());
  AnimalAt(t.world(), 2).Alive = 0;  // a dead parent stays in the tree
  t.window->GetDisplay().SelectedAnimal = 5;
  t.window->Action("menu_window_family")->trigger();
  ui::FamilyTreeWindow* tree = t.window->FamilyTreeIfCreated();
  ASSERT_NE(nullptr, tree);
  EXPECT_TRUE(t.window->IsShown(tree));

  const QTreeWidgetItem* root = tree->Ancestors()->topLevelItem(0);
  ASSERT_NE(nullptr, root);
  const auto columns = [](const QTreeWidgetItem* item) {
    QStringList texts;
    for (int c = 1; c < 6; ++c)
      texts << item->text(c);
    return texts.join('|');
  };
  EXPECT_EQ(columns(root), "5|1|Y7, March|" + QString::number(ScoreOfCount(100), 'f', 2) + "|5");
  ASSERT_EQ(root->childCount(), 2);
  EXPECT_EQ(root->child(0)->text(0), "Parent");
  EXPECT_EQ(root->child(0)->text(1), "1");
  EXPECT_EQ(root->child(0)->text(5), "1");
  EXPECT_EQ(root->child(1)->text(1), "2");
  EXPECT_EQ(root->child(1)->text(5), "dead");
  EXPECT_EQ(root->child(0)->childCount(), 0);  // founders have no parents
  EXPECT_EQ(tree->Descendants()->text(), "Living descendants: 0");
  // Founder 1 has one living descendant; 2 is dead but an ancestor, so kept.
  ASSERT_EQ(tree->Founders()->topLevelItemCount(), 2);
  EXPECT_EQ(tree->Founders()->topLevelItem(0)->text(0), "1");
  EXPECT_EQ(tree->Founders()->topLevelItem(0)->text(2), "1");

  // A living ancestor shows its genes; a dead one changes nothing.
  emit tree->Ancestors()->itemClicked(root->child(0), 0);
  ASSERT_NE(nullptr, t.window->PropertiesIfCreated());
  EXPECT_EQ(t.window->PropertiesIfCreated()->ChosenNumber(), 1);
  EXPECT_TRUE(t.window->IsShown(t.window->PropertiesIfCreated()));
  emit tree->Ancestors()->itemClicked(root->child(1), 0);
  EXPECT_EQ(t.window->PropertiesIfCreated()->ChosenNumber(), 1);

  // Tracking another animal rebuilds the tree; an empty slot shows none.
  t.window->GetDisplay().SelectedAnimal = 1;
  tree->FollowSelection();
  EXPECT_EQ(tree->ShownId(), 1u);
  EXPECT_EQ(tree->Descendants()->text(), "Living descendants: 1");
  t.window->GetDisplay().SelectedAnimal = 3;
  tree->FollowSelection();
  EXPECT_EQ(tree->ShownId(), 0u);
  EXPECT_EQ(tree->Ancestors()->topLevelItemCount(), 0);

  // The record exported by its button, whole; a file that cannot be made
  // is reported.
  QTemporaryDir out;
  QString path = out.filePath(QStringLiteral("family.csv"));
  tree->chooseFile = [&path] { return path; };
  QTest::mouseClick(tree->findChild<QPushButton*>(QStringLiteral("CommandExportCsv")),
                    Qt::LeftButton);
  std::string expected;
  FamilyPhylogenyCsv(t.world(), expected);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(expected, file.readAll().toStdString());
  t.seam().ClearBoxes();
  path = out.filePath(QStringLiteral("no/such/folder/family.csv"));
  EXPECT_FALSE(tree->ExportCsv());
  ASSERT_EQ(1u, t.seam().Boxes().size());
  EXPECT_EQ(0u, t.seam().Boxes()[0].text.find("The family record could not be written to"));
}

// "Colour &By" by its keys, as a user reaches it: Alt+O, B and the entry's
// letter. The map and the legend under it follow at once, paused.
TEST(FamilyTreeTest, ColourByPaintsTheMapAndTheLegendChosenByKeys) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  World& world = t.world();
  PutFamily(world);
  PutAnimal(world, 6, 6000, 1000, kStageEgg);
  GroupSpecies(world);
  ASSERT_EQ(world.species.count, 1);  // clones
  ui::MainWindow& window = *t.window;
  const auto choose = [&window](Qt::Key entry) {
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    for (const Qt::Key key : {Qt::Key_B, entry}) {
      QWidget* popup = QApplication::activePopupWidget();
      ASSERT_NE(popup, nullptr);
      QTest::keyClick(popup, key);
    }
  };
  const auto dot = [&world](int slot) {
    const Animal& a = AnimalAt(world, slot);
    return world.display->MiniMap.At(CellX(a.X), CellY(a.Y));
  };
  const auto legend = [&world] { return ui::LegendText(world.display->colouring.legend); };

  choose(Qt::Key_S);
  EXPECT_EQ(ColourBy::Species, world.display->colourBy.by);
  EXPECT_TRUE(window.Action("menu_options_colour_by_species")->isChecked());
  const uint32_t species = SpeciesPaletteColour(SpeciesOf(world, 1), SpeciesPalette::OkabeIto);
  EXPECT_EQ(species, dot(1));
  EXPECT_EQ(species, dot(5));
  EXPECT_EQ(kColourSpeciesEgg, dot(6));
  EXPECT_TRUE(window.MapLegend().isVisible());

  choose(Qt::Key_X);
  for (const int slot : {1, 2, 6})
    EXPECT_EQ(CategoryColour(AnimalAt(world, slot).Sex), dot(slot)) << slot;
  EXPECT_EQ(0, legend().indexOf(QStringLiteral("Sex: Sex 0 "))) << qPrintable(legend());

  // A gene from the list; cancelling the list keeps the colouring.
  QString offered;
  window.chooseColourGene = [&offered](const QStringList& names, const QString&) {
    return offered.isEmpty() ? QString() : offered = names.value(0);
  };
  choose(Qt::Key_N);
  EXPECT_EQ(ColourBy::Sex, world.display->colourBy.by);
  EXPECT_TRUE(window.Action("menu_options_colour_by_sex")->isChecked());
  offered = QStringLiteral("first");
  choose(Qt::Key_N);
  EXPECT_EQ(ColourBy::Gene, world.display->colourBy.by);
  EXPECT_EQ(0, legend().indexOf(offered + QStringLiteral(": "))) << qPrintable(legend());

  choose(Qt::Key_R);
  EXPECT_EQ(DotColour(world, AnimalAt(world, 1)), dot(1));
  EXPECT_FALSE(window.MapLegend().isVisible());
}

// The choice lives in Ombrivale.ini: read at start-up, written on quitting;
// a file of the older toggle alone reads as species.
TEST(FamilyTreeTest, ColourByIsKeptInTheProgramsSettingsFile) {
  TestMainWindow t;
  const QString file = ui::ProgramSettingsPath(t.folder.path());
  WriteFileText(file.toStdString(), "[miniMap]\ncolourBySpecies=true\n");
  EXPECT_EQ(ColourBy::Species, ui::LoadProgramSettings(file).colourBy.by);
  ui::ProgramSettings settings;
  settings.colourBy = ColourChoice{ColourBy::Gene, 3};
  ASSERT_TRUE(ui::SaveProgramSettings(file, settings));
  t.window->StartUp();
  EXPECT_EQ(settings.colourBy, t.world().display->colourBy);
  t.window->SetColourBy(ColourChoice{ColourBy::Hunger});
  t.seam().ScriptAnswers({Answer::Yes, Answer::No});  // quit, without saving the world
  t.window->Quit();
  ASSERT_TRUE(t.ended);
  EXPECT_EQ(ColourBy::Hunger, ui::LoadProgramSettings(file).colourBy.by);
}

}  // namespace
}  // namespace ombrivale::testing
