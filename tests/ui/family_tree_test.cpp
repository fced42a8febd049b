// The family tree window and the mini map coloured by species.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTreeWidget>

#include "behaviour/species.h"
#include "core/helpers.h"
#include "genetics/body_measures.h"
#include "support/test_world.h"
#include "ui/family_tree_window.h"
#include "ui_test_support.h"
#include "world/map_picture.h"
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
}

TEST(FamilyTreeTest, ColourBySpeciesPaintsEachAdultInItsSpeciesColour) {
  TestMainWindow t;
  World& world = t.world();
  PutFamily(world);
  PutAnimal(world, 6, 6000, 1000, kStageEgg);
  QAction* option = t.window->Action("menu_options_species");
  option->trigger();
  EXPECT_TRUE(world.display->ColourBySpecies);
  EXPECT_TRUE(option->isChecked());
  GroupSpecies(world);
  ASSERT_EQ(world.species.count, 1);  // clones
  t.window->Tick();
  const auto dot = [&world](int slot) {
    const Animal& a = AnimalAt(world, slot);
    return world.display->MiniMap.At(CellX(a.X), CellY(a.Y));
  };
  EXPECT_EQ(dot(1), SpeciesColour(SpeciesOf(world, 1)));
  EXPECT_EQ(dot(5), SpeciesColour(SpeciesOf(world, 1)));
  EXPECT_EQ(dot(6), kColourSpeciesEgg);
  option->trigger();
  t.window->Tick();
  EXPECT_EQ(dot(1), DotColour(world, AnimalAt(world, 1)));
}

// The option lives in Ombrivale.ini: read at start-up, written on quitting.
TEST(FamilyTreeTest, ColourBySpeciesIsKeptInTheProgramsSettingsFile) {
  TestMainWindow t;
  const QString file = ui::ProgramSettingsPath(t.folder.path());
  ui::ProgramSettings settings;
  settings.colourBySpecies = true;
  ASSERT_TRUE(ui::SaveProgramSettings(file, settings));
  t.window->StartUp();
  EXPECT_TRUE(t.world().display->ColourBySpecies);
  t.window->ToggleColourBySpecies();
  t.seam().ScriptAnswers({Answer::Yes, Answer::No});  // quit, without saving the world
  t.window->Quit();
  ASSERT_TRUE(t.ended);
  EXPECT_FALSE(ui::LoadProgramSettings(file).colourBySpecies);
}

}  // namespace
}  // namespace ombrivale::testing
