#include "ui/properties_window.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <array>

#include "behaviour/species.h"
#include "genetics/body_measures.h"
#include "genetics/gene_table.h"
#include "ui/quick_draw.h"
#include "world/animal_import.h"

namespace ombrivale::ui {
namespace {

// Fixed six-character stage prefixes: "adult" takes one trailing blank.
constexpr std::array<const char*, 2> kStagePrefixes = {"infant", "adult "};

std::string ValueText(GeneType type, int value) {
  if (type == GeneType::Flag) return value != 0 ? "True" : "False";
  return std::to_string(value);
}

void FillList(QListWidget* list, const std::vector<std::string>& rows) {
  list->clear();
  for (const std::string& row : rows)
    list->addItem(QString::fromStdString(row));
}

// Clicking a row of one list selects the same row of its partner.
void PairRows(QListWidget* from, QListWidget* to) {
  QObject::connect(from, &QListWidget::currentRowChanged, to, [to](int row) {
    if (row >= 0 && row < to->count() && to->currentRow() != row) to->setCurrentRow(row);
  });
  // The two lists scroll together so their rows stay side by side.
  QObject::connect(from->verticalScrollBar(), &QScrollBar::valueChanged, to->verticalScrollBar(),
                   &QScrollBar::setValue);
}

}  // namespace

std::vector<std::string> CharacteristicNames() {
  std::vector<std::string> names;
  const auto unborn = UnbornFields();
  for (int row : UnbornPropertiesRows())
    names.emplace_back(unborn[static_cast<size_t>(row)].name);
  const auto fields = GeneSetFields();
  for (const char* prefix : kStagePrefixes) {
    for (int row : PropertiesRows()) {
      names.push_back(std::string(prefix) + fields[static_cast<size_t>(row)].suffix);
    }
  }
  return names;
}

std::vector<std::string> StateNames() {
  return {"Age (Years)", "Age (Months)", "Hunger", "Sex", "Breath"};
}

std::vector<std::string> CharacteristicValues(const Animal& animal) {
  std::vector<std::string> values;
  const auto unborn = UnbornFields();
  for (int row : UnbornPropertiesRows()) {
    const UnbornField& field = unborn[static_cast<size_t>(row)];
    values.push_back(ValueText(field.type, UnbornValue(animal.Unborn, field)));
  }
  const auto fields = GeneSetFields();
  for (const GeneSet& genes : animal.Genes) {
    for (int row : PropertiesRows()) {
      const GeneField& field = fields[static_cast<size_t>(row)];
      values.push_back(ValueText(field.type, GeneValue(genes, field)));
    }
  }
  return values;
}

std::string SpeciesText(const World& world, int slot) {
  const Animal& animal = AnimalAt(world, slot);
  if (!IsOccupied(animal)) return "None (not alive)";
  if (animal.Stage < kStageAdult) return "None (not yet adult)";
  const int32_t species = SpeciesOf(world, slot);
  if (species == 0) return "None yet (grouped at the month's end)";
  return std::to_string(species) + " (one of " + std::to_string(world.species.count) + ")";
}

void PropertiesWindow::FollowHandChanges() {
  const World& world = services_.GetWorld();
  const int chosen = ChosenNumber();
  RefreshAnimalList();
  if (chosen >= 1 && chosen <= kSlotCount && IsOccupied(AnimalAt(world, chosen))) {
    SelectSlot(chosen);
  } else {
    geneValues_->clear();
    stateValues_->clear();
  }
}

// "&Draw It", "&Locate It", "&Update List", "Find Most &Evolved" and
// "Save As OBG..." (Command1..Command5).
QGridLayout* PropertiesWindow::BuildButtons() {
  auto* drawIt = new QPushButton(QStringLiteral("&Draw It"), this);
  auto* locateIt = new QPushButton(QStringLiteral("&Locate It"), this);
  auto* updateList = new QPushButton(QStringLiteral("&Update List"), this);
  auto* findMostEvolved = new QPushButton(QStringLiteral("Find Most &Evolved"), this);
  drawIt->setObjectName(QStringLiteral("Command1"));
  locateIt->setObjectName(QStringLiteral("Command2"));
  updateList->setObjectName(QStringLiteral("Command3"));
  findMostEvolved->setObjectName(QStringLiteral("Command4"));
  auto* saveAsObg = new QPushButton(QStringLiteral("Save As OBG..."), this);
  saveAsObg->setObjectName(QStringLiteral("Command5"));

  auto* buttons = new QGridLayout;
  buttons->addWidget(drawIt, 0, 0);
  buttons->addWidget(locateIt, 0, 1);
  buttons->addWidget(updateList, 1, 0);
  buttons->addWidget(findMostEvolved, 1, 1);
  buttons->addWidget(saveAsObg, 2, 0, 1, 2);
  connect(drawIt, &QPushButton::clicked, this, &PropertiesWindow::DrawIt);
  connect(locateIt, &QPushButton::clicked, this, &PropertiesWindow::LocateIt);
  connect(updateList, &QPushButton::clicked, this, &PropertiesWindow::UpdateList);
  connect(findMostEvolved, &QPushButton::clicked, this, &PropertiesWindow::FindMostEvolved);
  connect(saveAsObg, &QPushButton::clicked, this, &PropertiesWindow::SaveAsObg);
  return buttons;
}

PropertiesWindow::PropertiesWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("Animal Properties"));

  auto* animalCaption = new QLabel(QStringLiteral("Animal:"), this);
  animalChoice_ = new QComboBox(this);
  animalChoice_->setObjectName(QStringLiteral("List2"));
  animalChoice_->setMinimumContentsLength(5);
  stateNames_ = new QListWidget(this);
  stateValues_ = new QListWidget(this);
  geneNames_ = new QListWidget(this);
  geneValues_ = new QListWidget(this);
  geneNames_->setObjectName(QStringLiteral("List1"));
  geneValues_->setObjectName(QStringLiteral("List3"));
  stateNames_->setObjectName(QStringLiteral("List4"));
  stateValues_->setObjectName(QStringLiteral("List5"));
  geneNames_->setToolTip(
      QStringLiteral("Click on a characteristic here to highlight in the values list as well."));

  auto* top = new QHBoxLayout;
  top->addWidget(animalCaption);
  top->addWidget(animalChoice_, 1);
  QGridLayout* buttons = BuildButtons();
  auto* state = new QHBoxLayout;
  state->addWidget(stateNames_, 3);
  state->addWidget(stateValues_, 2);
  // Beside the five state values: the species, found again every month.
  auto* speciesCaption = new QLabel(QStringLiteral("Species:"), this);
  labelSpecies_ = new QLabel(this);
  labelSpecies_->setObjectName(QStringLiteral("LabelSpecies"));
  auto* speciesRow = new QHBoxLayout;
  speciesRow->addWidget(speciesCaption);
  speciesRow->addWidget(labelSpecies_, 1);
  auto* genes = new QHBoxLayout;
  genes->addWidget(geneNames_, 3);
  genes->addWidget(geneValues_, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  layout->addLayout(state);
  layout->addLayout(speciesRow);
  layout->addLayout(genes, 1);
  resize(380, 520);

  connect(animalChoice_, &QComboBox::activated, this, [this](int) { List2_Click(); });
  PairRows(geneNames_, geneValues_);
  PairRows(geneValues_, geneNames_);
  PairRows(stateNames_, stateValues_);
  PairRows(stateValues_, stateNames_);

  FillList(stateNames_, StateNames());
  FillList(geneNames_, CharacteristicNames());
  // The five state rows show whole.
  const int stateHeight = stateNames_->sizeHintForRow(0) * 5 + 2 * stateNames_->frameWidth() + 2;
  stateNames_->setFixedHeight(stateHeight);
  stateValues_->setFixedHeight(stateHeight);
  RefreshAnimalList();
  WorldDocument& document = services_.Document();
  connect(&document, &WorldDocument::MonthTurned, this, [this] {
    if (isVisible()) UpdateListFive();  // refreshed only when seen
  });
  connect(&document, &WorldDocument::AnimalsChanged, this,
          [this](int, int, int dropped, int sacrificed) {
            if (dropped != 0 || sacrificed != 0) FollowHandChanges();
          });
}

int PropertiesWindow::ChosenNumber() const {
  if (animalChoice_->currentIndex() < 0) return 0;
  bool ok = false;
  const int number = animalChoice_->currentText().trimmed().toInt(&ok);
  return ok ? number : 0;
}

void PropertiesWindow::RefreshAnimalList() {
  const World& world = services_.GetWorld();
  QStringList occupied;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (AnimalAt(world, slot).Alive == 1) occupied.append(QString::number(slot));
  }
  const QSignalBlocker blocker(animalChoice_);
  animalChoice_->clear();
  animalChoice_->addItems(occupied);
  animalChoice_->setCurrentIndex(-1);  // a combo would pick its first entry on its own
}

void PropertiesWindow::SelectList2Index(int index) {
  animalChoice_->setCurrentIndex(index);
  List2_Click();
}

void PropertiesWindow::List2_Click() {
  const int chosen = ChosenNumber();
  if (chosen < 1 || chosen > kSlotCount) return;
  UpdateListFive();
  FillList(geneValues_, CharacteristicValues(AnimalAt(services_.GetWorld(), chosen)));
}

void PropertiesWindow::ShowAnimal(const Animal& animal, const QString& species) {
  animalChoice_->setCurrentIndex(-1);
  FillList(geneValues_, CharacteristicValues(animal));
  FillStateValues(animal);
  labelSpecies_->setText(species);
}

void PropertiesWindow::UpdateListFive() {
  const int chosen = ChosenNumber();
  if (chosen < 1 || chosen > kSlotCount) return;
  FillStateValues(AnimalAt(services_.GetWorld(), chosen));
  labelSpecies_->setText(QString::fromStdString(SpeciesText(services_.GetWorld(), chosen)));
}

void PropertiesWindow::FillStateValues(const Animal& animal) {
  FillList(stateValues_, {std::to_string(animal.AgeYears), std::to_string(animal.AgeMonths),
                          std::to_string(animal.Hunger), std::to_string(animal.Sex),
                          std::to_string(animal.Breath)});
}

void PropertiesWindow::UpdateList() {
  const int remembered = animalChoice_->currentIndex();
  RefreshAnimalList();
  // The last entry is not selected again: the index must be below count - 1.
  if (remembered > -1 && remembered < animalChoice_->count() - 1) SelectList2Index(remembered);
}

void PropertiesWindow::SelectSlot(int slot) {
  for (int i = 0; i < animalChoice_->count(); ++i) {
    if (animalChoice_->itemText(i).toInt() == slot) SelectList2Index(i);
  }
}

void PropertiesWindow::DrawIt() {
  const int chosen = ChosenNumber();
  if (chosen < 1 || chosen > kSlotCount) return;
  QuickDrawWindow& quickDraw = services_.QuickDraw();
  // Twice, as the renderer's caller always has: the first call may be the one
  // that created the window.
  for (int i = 0; i < 2; ++i) {
    quickDraw.DrawAnimal(chosen, AnimalAt(services_.GetWorld(), chosen).Stage);
  }
}

void PropertiesWindow::LocateIt() {
  services_.GetDisplay().SelectedAnimal = static_cast<int16_t>(ChosenNumber());
  services_.Document().Drain();  // the marker moves to it, paused or not
}

void PropertiesWindow::FindMostEvolved() {
  const int found = ::ombrivale::FindMostEvolved(services_.GetWorld());
  UpdateList();
  SelectSlot(found);
  DrawIt();
  LocateIt();
}

void PropertiesWindow::SaveAsObg() {
  const int chosen = ChosenNumber();
  if (chosen < 1 || chosen > kSlotCount) {
    SaveChosenTo(QString());  // says that none is chosen
    return;
  }
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Save As OBG"), QStringLiteral("A_%1.OBG").arg(chosen),
      QStringLiteral("Animal files (*.OBG);;All files (*)"));
  if (!path.isEmpty()) SaveChosenTo(path);
}

bool PropertiesWindow::SaveChosenTo(const QString& path) {
  Seam& seam = services_.WindowSeam();
  const int chosen = ChosenNumber();
  const World& world = services_.GetWorld();
  if (chosen < 1 || chosen > kSlotCount || !IsOccupied(AnimalAt(world, chosen))) {
    seam.ShowMessageBox("Choose a living animal in the list first.", "Animal Properties",
                        Buttons::Ok);
    return false;
  }
  PosixFileSystem files;
  if (const Status error = WriteAnimalToFile(files, path.toStdString(), AnimalAt(world, chosen));
      !error.ok()) {
    seam.ShowMessageBox("The animal file " + path.toStdString() +
                            " could not be written: " + AnimalFileFault(error) + ".",
                        "Animal Properties", Buttons::Ok);
    return false;
  }
  return true;
}

}  // namespace ombrivale::ui
