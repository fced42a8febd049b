#include "ui/main_window.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSessionManager>
#include <QShortcutEvent>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "core/helpers.h"
#include "core/log.h"
#include "genetics/gene_census.h"
#include "sim/new_world.h"
#include "sim/session.h"
#include "sim/tick.h"
#include "ui/about_window.h"
#include "ui/conditions_dialog.h"
#include "ui/family_tree_window.h"
#include "ui/log_window.h"
#include "ui/map_legend.h"
#include "ui/mini_map.h"
#include "ui/play_god_window.h"
#include "ui/properties_window.h"
#include "ui/quick_draw.h"
#include "ui/status_frame.h"
#include "ui/world_view.h"
#include "world/file_system.h"
#include "world/map_colouring.h"
#include "world/map_picture.h"
#include "world/savepoint.h"
#include "world/world_files.h"
#include "world/world_gen.h"

namespace ombrivale::ui {

const char* const MainWindow::kCaption = "Brenlo Ostik's Ombrivale";

namespace {

// Index of each secondary window in the settings file.
enum WindowIndex { kWorldViewIndex, kPropertiesIndex, kQuickDrawIndex, kLogIndex, kPlayGodIndex };

bool FolderIsWritable(const QString& folder) {
  const QFileInfo info(folder);
  return info.isDir() && info.isWritable();
}

// Alt and a letter underlined both in a menu title and on a button of the
// secondary window that has the focus ("&File" and Play God's "&Find Them"):
// Qt finds two shortcuts, alternates between them press by press and only
// focuses a button it gives such a press. The button of the window the user
// works in wins, every time, as the buttons of a child window did in the
// program's first home. True when a button was pressed.
bool PressFocusedWindowsButton(const QMdiArea& area, const QKeySequence& key) {
  QWidget* focus = QApplication::focusWidget();
  QMdiSubWindow* sub = nullptr;
  for (QWidget* widget = focus; widget != nullptr; widget = widget->parentWidget()) {
    sub = qobject_cast<QMdiSubWindow*>(widget);
    if (sub != nullptr) break;
  }
  if (sub == nullptr || sub->mdiArea() != &area || sub->widget() == nullptr) return false;
  for (QAbstractButton* button : sub->widget()->findChildren<QAbstractButton*>()) {
    // Not the buttons of a dialog the window opened: it is a window of its own.
    if (button->window() != sub->window() || !button->isVisible() || !button->isEnabled()) continue;
    if (QKeySequence::mnemonic(button->text()) != key) continue;
    button->setFocus(Qt::ShortcutFocusReason);
    button->animateClick();
    return true;
  }
  return false;
}

class MnemonicFilter : public QObject {
 public:
  MnemonicFilter(const QMdiArea& area, QObject* parent) : QObject(parent), area_(area) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Shortcut) {
      const auto* shortcut = static_cast<QShortcutEvent*>(event);
      if (shortcut->isAmbiguous() && PressFocusedWindowsButton(area_, shortcut->key())) {
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  const QMdiArea& area_;
};

// Opens `page` with the desktop's program for it. xdg-open is run and
// watched to its end: it fails when no program takes the page, which
// QDesktopServices would count as opened once xdg-open had started.
// `failed` runs when nothing opened it.
void OpenWithDesktop(QObject* owner, const QUrl& page, const std::function<void()>& failed) {
  const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (launcher.isEmpty()) {
    if (!QDesktopServices::openUrl(page)) failed();
    return;
  }
  auto* process = new QProcess(owner);
  process->setObjectName(QStringLiteral("HelpLauncher"));
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  QObject::connect(process, &QProcess::errorOccurred, owner,
                   [process, failed](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     failed();
                     process->deleteLater();
                   });
  QObject::connect(process, &QProcess::finished, owner,
                   [process, failed](int code, QProcess::ExitStatus status) {
                     if (status != QProcess::NormalExit || code != 0) failed();
                     process->deleteLater();
                   });
  process->start(launcher, {page.toLocalFile()});
}

// The help page for the help window: the page's pictures are drawn in SVG,
// which the window cannot show, so each gives way to a line that says so.
QString HelpPageForWindow(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return QStringLiteral("<h1>Ombrivale Help</h1><p>The help page could not be read: %1</p>")
        .arg(path.toHtmlEscaped());
  }
  QString html = QString::fromUtf8(file.readAll());
  static const QRegularExpression svg(QStringLiteral("<svg\\b.*?</svg>"),
                                      QRegularExpression::DotMatchesEverythingOption);
  html.replace(svg, QStringLiteral("<p><i>(A picture: open OBHelp.html in a web browser to see "
                                   "it.)</i></p>"));
  return html;
}

}  // namespace

ProgramFolders ChooseProgramFolders(const QString& programFolder, const QString& fallback) {
  const QString dataFolder = FolderIsWritable(programFolder) ? programFolder : fallback;
  ProgramFolders folders;
  folders.settingsPath = QDir(dataFolder).filePath(QStringLiteral("OB.ini"));
  folders.autoSaveFolder = QDir(dataFolder).filePath(QStringLiteral("AutoSave"));
  const QString beside = QDir(programFolder).filePath(QStringLiteral("OBHelp.html"));
  const QString installed =
      QDir(programFolder).filePath(QStringLiteral("../share/ombrivale/OBHelp.html"));
  folders.helpPage = QFileInfo::exists(beside) || !QFileInfo::exists(installed)
                         ? beside
                         : QDir::cleanPath(installed);
  return folders;
}

MainWindow::MainWindow(ProgramEnvironment environment, QWidget* parent)
    : QMainWindow(parent),
      environment_(std::move(environment)),
      document_(environment_.saveFiles),
      world_(&document_.GetWorld()),
      display_(&document_.GetDisplay()),
      seam_(*this, document_) {
  world_->seam = &seam_;
  seam_.showPropertiesWindow = [this] { ShowPropertiesWindow(); };
  seam_.collectPlacements = [this](WindowPlacement(&windows)[kWindowCount]) {
    CollectPlacements(windows);
  };
  seam_.applyPlacements = [this](const WindowPlacement(&windows)[kWindowCount]) {
    ApplyPlacements(windows);
  };
  ChooseFolders();

  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(Caption());
  setWindowIcon(QIcon(QPixmap::fromImage(DrawPlanetPicture(QSize(64, 64), true))));
  scale_ = environment_.mapScale;
  if (scale_ <= 0) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    scale_ = screen != nullptr ? MiniMapScaleFor(screen->availableGeometry().size()) : 1;
  }
  BuildCentralWidget();
  BuildMenus();
  ApplyLayout();
  RefreshStatus();
  resize(std::max(picture1_->width() + 40, 800), picture1_->height() + 480);

  ConnectDocument();
  document_.Timer1().start();
  AddRunControl();
  qApp->installEventFilter(new MnemonicFilter(*mdi_, this));
  FollowSessionManager();
}

void MainWindow::ChooseFolders() {
  if (environment_.programFolder.isEmpty())
    environment_.programFolder = QCoreApplication::applicationDirPath();
  if (environment_.fallbackFolder.isEmpty())
    environment_.fallbackFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (!FolderIsWritable(environment_.programFolder)) QDir().mkpath(environment_.fallbackFolder);
  folders_ = ChooseProgramFolders(environment_.programFolder, environment_.fallbackFolder);
  world_->AutoSaveFolder = folders_.autoSaveFolder.toStdString();
}

void MainWindow::BuildCentralWidget() {
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  picture1_ = new QWidget(central);
  picture1_->setObjectName(QStringLiteral("Picture1"));
  miniMap_ = new MiniMapWidget(*display_, picture1_);
  frames_[0] = new StatusFrame(QStringLiteral("Time:"), QStringLiteral("Label1"), picture1_);
  frames_[1] = new StatusFrame(QStringLiteral("Life:"), QStringLiteral("Label2"), picture1_);
  frames_[2] = new StatusFrame(QStringLiteral("Messages:"), QStringLiteral("Label3"), picture1_);
  frames_[0]->setObjectName(QStringLiteral("Frame1"));
  frames_[1]->setObjectName(QStringLiteral("Frame2"));
  frames_[2]->setObjectName(QStringLiteral("Frame3"));
  legend_ = new MapLegendWidget(*display_, central);
  mdi_ = new QMdiArea(central);
  mdi_->setObjectName(QStringLiteral("MdiArea"));
  column->addWidget(picture1_);
  column->addWidget(legend_);
  column->addWidget(mdi_, 1);
  setCentralWidget(central);

  miniMap_->beforePaint = [this] { ColourDotsIfStale(*world_, *display_); };
  legend_->beforePaint = miniMap_->beforePaint;
  connect(miniMap_, &MiniMapWidget::LeftPressed, this, &MainWindow::MiniMapLeftPressed);
  connect(miniMap_, &MiniMapWidget::RightPressed, this, &MainWindow::MiniMapRightPressed);
}

void MainWindow::AddRunControl() {
  // Beside the windows of the rules: the statistics window, the "&Run" menu
  // and the status bar.
  QAction* statistics = findChild<QMenu*>(QStringLiteral("menu_window"))
                            ->addAction(QStringLiteral("Show &Statistics"));
  statistics->setObjectName(QStringLiteral("menu_window_statistics"));
  statistics->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  connect(statistics, &QAction::triggered, this, &MainWindow::ShowStatistics);
  run_ = new RunControl(*this, document_);
  connect(run_, &RunControl::BatchEnded, this, [this] {
    RefreshStatus();
    ShowWorldNow();
  });
  if (environment_.startPaused) run_->SetPaused(true);
}

void MainWindow::FollowSessionManager() {
#ifndef QT_NO_SESSIONMANAGER
  // A desktop logout asks too; a "No" to quitting keeps the session open
  // when the session manager lets us.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    if (ended_ || !manager.allowsInteraction()) return;
    Quit();
    manager.release();
    if (!ended_) manager.cancel();
  });
#endif
}

MainWindow::~MainWindow() {
  document_.SetHeld(true);
  document_.Timer1().stop();
  document_.Timer2().stop();
  // An xdg-open still waiting for the browser it started: it goes, the
  // browser stays.
  for (QProcess* launcher : findChildren<QProcess*>(QStringLiteral("HelpLauncher"))) {
    launcher->disconnect();
    launcher->kill();
    launcher->waitForFinished(1000);
  }
  // The child windows go before the world they look at.
  delete mdi_;
  mdi_ = nullptr;
  delete about_;
  document_.Saver().Finish(*world_);  // a save still being written ends first
  world_->seam = nullptr;
}

template <class Handler>
QAction* MainWindow::AddEntry(QMenu* menu, const char* name, const QString& caption,
                              Handler handler) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  connect(action, &QAction::triggered, this, handler);
  return action;
}

template <class Handler>
QAction* MainWindow::AddCheckEntry(QMenu* menu, const char* name, const QString& caption,
                                   Handler handler) {
  QAction* action = AddEntry(menu, name, caption, handler);
  action->setCheckable(true);
  return action;
}

void MainWindow::BuildMenus() {
  BuildFileMenu();
  BuildOptionsMenu();
  BuildWindowMenu();
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("menu_help"));
  AddEntry(help, "menu_help_help", QStringLiteral("&Help"), [this] { OpenHelp(); });
  AddEntry(help, "menu_help_about", QStringLiteral("&About"), [this] { ShowAbout(); });
  BuildEditMenu();
  SyncCheckMarks();
}

void MainWindow::BuildFileMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("menu_file"));
  AddEntry(file, "menu_file_new", QStringLiteral("&New World"), [this] {
    // The running world would be lost to the new one, and its folder
    // overwritten at the next yearly save: asked first, as quitting asks.
    if (document_.InTick() || !worldFolders_->AskToSaveFirst()) return;
    NewWorld(*world_);
    document_.Drain();
    ShowWorldNow();
  });
  AddEntry(file, "menu_file_save", QStringLiteral("&Save World to AutoSave Folder"),
           [this] { SaveWorld(*world_, worldFolders_->Current().toStdString()); });
  AddEntry(file, "menu_file_mark", QStringLiteral("&Mark Savepoint..."), [this] {
    MarkSavepointAsked();
  })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  recordFrames_ = AddEntry(file, "menu_file_record", QStringLiteral("Recor&d Frames..."),
                           [this] { RecordFrames(); });
  QAction* exit =
      AddEntry(file, "menu_file_exit", QStringLiteral("E&xit Programme"), [this] { Quit(); });
  worldFolders_ =
      new WorldFolders(*this, document_, seam_, *file, recordFrames_, folders_.autoSaveFolder);
  file->insertSeparator(exit);
  connect(worldFolders_, &WorldFolders::CurrentChanged, this, &MainWindow::ShowCaption);
}

void MainWindow::MarkSavepointAsked() {
  if (document_.InTick()) return;  // a message box of a tick is open
  bool ok = false;
  const QString label = askSavepointLabel
                            ? askSavepointLabel(ok)
                            : QInputDialog::getText(this, QStringLiteral("Mark Savepoint"),
                                                    QStringLiteral("Label (may be left empty):"),
                                                    QLineEdit::Normal, {}, &ok);
  if (!ok) return;
  // One line: the savepoint's listing shows it after the date and the kind.
  QString line = label.simplified();
  MarkSavepoint(*world_, line.toStdString());
  LogMessage(*world_,
             line.isEmpty() ? "Savepoint Marked" : "Savepoint Marked: " + line.toStdString());
  document_.Drain();
}

void MainWindow::BuildOptionsMenu() {
  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  options->setObjectName(QStringLiteral("menu_options"));
  AddCheckEntry(options, "menu_options_log", QStringLiteral("Make &Log"),
                [this] { ToggleOption(Option::Log); });
  AddCheckEntry(options, "menu_options_restart", QStringLiteral("Auto &Restart"),
                [this] { ToggleOption(Option::Restart); });
  // Beside Auto Restart: the other way a dead world is replaced.
  AddCheckEntry(options, "menu_options_goback", QStringLiteral("On Extinction: &Go Back"), [this] {
    world_->savepoints.goBackOnExtinction = !world_->savepoints.goBackOnExtinction;
    SyncCheckMarks();
  });
  AddCheckEntry(options, "menu_options_colour", QStringLiteral("Use Real &Colours"),
                [this] { ToggleOption(Option::Colour); });
  AddCheckEntry(options, "menu_options_least", QStringLiteral("Overwrite &Least Evolved"),
                [this] { ToggleOption(Option::Least); });
  AddCheckEntry(options, "menu_options_autosave",
                QStringLiteral("Auto &Save (Saves Every Ten Years)"),
                [this] { ToggleOption(Option::AutoSave); });
  BuildColourByMenu(options);
  // Not "World &Conditions...": "Use Real &Colours" has C.
  options->addSeparator();
  AddEntry(options, "menu_options_conditions", QStringLiteral("&World Conditions..."),
           [this] { ShowWorldConditions(); });
  connect(options, &QMenu::aboutToShow, this, &MainWindow::SyncCheckMarks);
}

void MainWindow::BuildWindowMenu() {
  QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
  window->setObjectName(QStringLiteral("menu_window"));
  AddEntry(window, "menu_window_world", QStringLiteral("Show &World"), [this] { ShowWorldView(); });
  AddEntry(window, "menu_window_properties", QStringLiteral("Show Animal &Properties"),
           [this] { ShowPropertiesWindow(); });
  AddEntry(window, "menu_window_quick", QStringLiteral("Show &QuickDraw"),
           [this] { ShowQuickDrawWindow(); });
  AddEntry(window, "menu_window_playgod", QStringLiteral("Show Play-&God"),
           [this] { ShowPlayGod(); });
  // The mini map is always shown: the entry is there but does nothing.
  AddEntry(window, "menu_window_map", QStringLiteral("Show &MiniMap"), [] {})->setEnabled(false);
  AddEntry(window, "menu_window_log", QStringLiteral("Show &Log"), [this] { ShowLog(); });
  AddEntry(window, "menu_window_family", QStringLiteral("Show &Family Tree"),
           [this] { ShowFamilyTree(); });
  AddEntry(window, "menu_window_species", QStringLiteral("Show Species &Tree"),
           [this] { ShowSpeciesTree(); });
  AddEntry(window, "menu_window_timeline", QStringLiteral("Show T&imeline"),
           [this] { ShowTimeline(); });
}

void MainWindow::BuildEditMenu() {
  editMenu_ = menuBar()->addMenu(QStringLiteral("&Edit"));
  editMenu_->setObjectName(QStringLiteral("menu_edit"));
  AddCheckEntry(editMenu_, "menu_edit_log", QStringLiteral("Make &Log"),
                [this] { ToggleOption(Option::Log); });
  AddEntry(editMenu_, "menu_edit_del", QStringLiteral("&Delete Entry"), [this] {
    if (log_) log_->DeleteEntry();
  });
  AddEntry(editMenu_, "menu_edit_refreshlog", QStringLiteral("&Refresh Log"), [this] {
    if (display_->DeathLog.empty()) return;
    display_->DeathLog.clear();
    ++display_->logVersion;
    if (log_) log_->SyncFromDisplay();
  });
  editMenu_->addSeparator()->setObjectName(QStringLiteral("menu_edit_line1"));
  QMenu* these = editMenu_->addMenu(QStringLiteral("Show &These"));
  these->setObjectName(QStringLiteral("menu_edit_these"));
  AddCheckEntry(these, "menu_edit_these_oldage", QStringLiteral("Old &Age Deaths"),
                [this] { ToggleFilter(Cause::OldAge); });
  AddCheckEntry(these, "menu_edit_these_suff", QStringLiteral("&Suffocation Deaths"),
                [this] { ToggleFilter(Cause::Suffocation); });
  AddCheckEntry(these, "menu_edit_these_over", QStringLiteral("&Overwritten \"Deaths\""),
                [this] { ToggleFilter(Cause::Overwritten); });
  AddCheckEntry(these, "menu_edit_these_hunger", QStringLiteral("&Hunger Deaths"),
                [this] { ToggleFilter(Cause::Hunger); });
  AddCheckEntry(these, "menu_edit_these_eaten", QStringLiteral("&Eaten Deaths"),
                [this] { ToggleFilter(Cause::Eaten); });
  // Beside the five of the rules: the animals killed in Play God.
  AddCheckEntry(these, "menu_edit_these_sacrificed", QStringLiteral("Sa&crificed Deaths"),
                [this] { ToggleFilter(Cause::Sacrificed); });
  connect(these, &QMenu::aboutToShow, this, &MainWindow::SyncCheckMarks);
  connect(editMenu_, &QMenu::aboutToShow, this, [this] {
    SyncCheckMarks();
    QListWidget* list = log_ ? &log_->List1() : nullptr;
    Action("menu_edit_del")
        ->setEnabled(list != nullptr && list->currentRow() >= 0 &&
                     !list->selectedItems().isEmpty());
  });
}

QAction* MainWindow::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

StatusFrame& MainWindow::Frame(int index) {
  return *frames_[std::clamp(index, 1, 3) - 1];
}

uint8_t& MainWindow::Flag(Option option) {
  switch (option) {
    case Option::Log:
      return world_->LogOn;
    case Option::Restart:
      return world_->AutoRestart;
    case Option::Colour:
      return world_->RealColours;
    case Option::Least:
      return world_->OverwriteLeast;
    case Option::AutoSave:
      break;
  }
  return world_->AutoSave;
}

void MainWindow::ToggleOption(Option option) {
  // The check mark always shows the flag, so reading one reads the other.
  uint8_t& flag = Flag(option);
  flag = flag != 0 ? 0 : 1;
  SyncCheckMarks();
  if (option == Option::Colour) ShowWorldNow();
}

void MainWindow::ToggleFilter(Cause cause) {
  bool& shown = FilterFor(world_->Filters, cause);
  shown = !shown;
  SyncCheckMarks();
}

void MainWindow::BuildColourByMenu(QMenu* options) {
  QMenu* menu = options->addMenu(QStringLiteral("Colour &By"));
  menu->setObjectName(QStringLiteral("menu_options_colour_by"));
  auto* group = new QActionGroup(menu);
  struct Entry {
    const char* caption;
    ColourBy by;
  };
  static constexpr Entry kEntries[] = {
      {"&Real", ColourBy::Real},
      {"&Species", ColourBy::Species},
      {"&Generation", ColourBy::Generation},
      {"&Age", ColourBy::Age},
      {"&Hunger", ColourBy::Hunger},
      {"&Evolvedness Score", ColourBy::Score},
      {"S&tage", ColourBy::Stage},
      {"Se&x", ColourBy::Sex},
      {"&Diet", ColourBy::Diet},
      {"&Breathing", ColourBy::Breathing},
      {"&Covering", ColourBy::Covering},
      {"Ge&ne...", ColourBy::Gene},
  };
  for (const Entry& entry : kEntries) {
    QAction* action = menu->addAction(QString::fromLatin1(entry.caption));
    const std::string name = entry.by == ColourBy::Gene ? "gene" : ColourChoiceName({entry.by});
    action->setObjectName(QStringLiteral("menu_options_colour_by_") + QString::fromStdString(name));
    action->setCheckable(true);
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, by = entry.by] {
      if (by != ColourBy::Gene) return SetColourBy(ColourChoice{by});
      QStringList names;
      for (int gene = 0; gene < static_cast<int>(SeriesGenes().size()); ++gene)
        names << QString::fromStdString(ColourChoiceName(ColourChoice{ColourBy::Gene, gene}));
      const ColourChoice now = display_->colourBy;
      const QString current = now.by == ColourBy::Gene ? names.value(now.gene) : names.value(0);
      QString chosen;
      if (chooseColourGene) {
        chosen = chooseColourGene(names, current);
      } else {
        bool ok = false;
        chosen = QInputDialog::getItem(this, QStringLiteral("Colour by Gene"),
                                       QStringLiteral("Gene (adult or infant set, or the egg):"),
                                       names, std::max<int>(0, names.indexOf(current)), false, &ok);
        if (!ok) chosen.clear();
      }
      if (names.contains(chosen)) {
        SetColourBy(ColourChoice{ColourBy::Gene, static_cast<int>(names.indexOf(chosen))});
      } else {
        SyncCheckMarks();  // cancelled: the check mark goes back
      }
    });
  }
}

void MainWindow::SetColourBy(const ColourChoice& choice) {
  display_->colourBy = choice;
  SyncCheckMarks();
  ShowWorldNow();
}

void MainWindow::SyncCheckMarks() {
  const ColourChoice colourBy = display_->colourBy;
  const std::string colourName =
      colourBy.by == ColourBy::Gene ? "gene" : ColourChoiceName(ColourChoice{colourBy.by});
  if (QAction* action = Action(("menu_options_colour_by_" + colourName).c_str()))
    action->setChecked(true);
  struct Binding {
    const char* name;
    Option option;
  };
  static constexpr Binding kOptions[] = {
      {"menu_options_log", Option::Log},         {"menu_edit_log", Option::Log},
      {"menu_options_restart", Option::Restart}, {"menu_options_colour", Option::Colour},
      {"menu_options_least", Option::Least},     {"menu_options_autosave", Option::AutoSave}};
  for (const Binding& binding : kOptions) {
    if (QAction* action = Action(binding.name)) action->setChecked(Flag(binding.option) != 0);
  }
  if (QAction* action = Action("menu_options_goback"))
    action->setChecked(world_->savepoints.goBackOnExtinction);
  struct FilterBinding {
    const char* name;
    Cause cause;
  };
  static constexpr FilterBinding kFilters[] = {{"menu_edit_these_oldage", Cause::OldAge},
                                               {"menu_edit_these_eaten", Cause::Eaten},
                                               {"menu_edit_these_sacrificed", Cause::Sacrificed},
                                               {"menu_edit_these_over", Cause::Overwritten},
                                               {"menu_edit_these_suff", Cause::Suffocation},
                                               {"menu_edit_these_hunger", Cause::Hunger}};
  for (const FilterBinding& binding : kFilters) {
    if (QAction* action = Action(binding.name))
      action->setChecked(FilterFor(world_->Filters, binding.cause));
  }
}

void MainWindow::ApplyLayout() {
  const MainLayout layout = ComputeMainLayout();
  miniMap_->SetScale(scale_);
  miniMap_->move(ToPixels(layout.miniMap, scale_).topLeft());
  frames_[0]->Place(layout.frame1, layout.label, scale_);
  frames_[1]->Place(layout.frame2, layout.label, scale_);
  frames_[2]->Place(layout.frame3, layout.label, scale_);
  picture1_->setFixedHeight(ToPixels(layout.picture1, scale_).height());
  picture1_->setMinimumWidth(ToPixels(layout.picture1, scale_).width());
}

void MainWindow::RefreshStatus() {
  const std::string* captions[3] = {&display_->Label1, &display_->Label2, &display_->Label3};
  for (int i = 0; i < 3; ++i) {
    if (*captions[i] == shownLabels_[i] && !(i < 2 && shownLabels_[i].empty())) continue;
    shownLabels_[i] = *captions[i];
    const QString text = QString::fromStdString(shownLabels_[i]);
    frames_[i]->Label().setText(text);
    if (i == 0 && run_ != nullptr) run_->ShowDate(text);
    // A long message is cut at the frame's edge; the tool tip holds it whole.
    if (i == 2) frames_[i]->Label().setToolTip(text);
  }
}

// --- Secondary windows ------------------------------------------------------

QMdiSubWindow* MainWindow::AddChild(QWidget* window, OnClose onClose) {
  // A window without a layout has no size hint: it keeps the size it gave
  // itself.
  const QSize ownSize = window->size();
  auto* sub = new QMdiSubWindow;
  sub->setWidget(window);
  sub->setWindowIcon(windowIcon());
  sub->setAttribute(Qt::WA_DeleteOnClose, onClose == OnClose::Destroy);
  sub->setProperty("hideOnClose", onClose == OnClose::Hide);
  sub->installEventFilter(this);
  mdi_->addSubWindow(sub);
  sub->adjustSize();
  if (!window->sizeHint().isValid()) {
    sub->resize(ownSize + (sub->size() - sub->contentsRect().size()));
  }
  sub->hide();
  return sub;
}

QMdiSubWindow* MainWindow::SubWindowOf(QWidget* window) const {
  if (window == nullptr) return nullptr;
  return qobject_cast<QMdiSubWindow*>(window->parentWidget());
}

bool MainWindow::IsShown(QWidget* window) const {
  const QMdiSubWindow* sub = SubWindowOf(window);
  return sub != nullptr && !sub->isHidden() && !window->isHidden();
}

void MainWindow::ShowChild(QWidget* window) {
  QMdiSubWindow* sub = SubWindowOf(window);
  if (sub == nullptr) return;
  window->show();
  sub->show();
  sub->raise();
  mdi_->setActiveSubWindow(sub);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* sub = qobject_cast<QMdiSubWindow*>(watched);
  if (sub != nullptr && event->type() == QEvent::Close) {
    // Remember where a window stood before it goes (the settings file keeps
    // the places of the windows that closing destroys).
    const QWidget* window = sub->widget();
    const QPoint place = sub->pos();
    const int index = window == quickDraw_ ? kQuickDrawIndex
                      : window == playGod_ ? kPlayGodIndex
                                           : -1;
    if (index >= 0) {
      placements_[index].left = static_cast<float>(place.x() * kTwipsPerPixel);
      placements_[index].top = static_cast<float>(place.y() * kTwipsPerPixel);
      placements_[index].shown = false;
    }
    if (sub->property("hideOnClose").toBool()) {
      event->ignore();
      sub->hide();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

WorldViewWindow& MainWindow::EnsureWorldView() {
  if (!worldView_) {
    worldView_ = new WorldViewWindow(*this);
    worldView_->setObjectName(QStringLiteral("Form1"));
    AddChild(worldView_, OnClose::Hide);
    // The view's load handler: the main window is maximised.
    MaximizeMainWindow();
  }
  return *worldView_;
}

PropertiesWindow& MainWindow::Properties() {
  if (!properties_) {
    properties_ = new PropertiesWindow(*this);
    properties_->setObjectName(QStringLiteral("Form2"));
    AddChild(properties_, OnClose::Hide);
  }
  return *properties_;
}

QuickDrawWindow& MainWindow::EnsureQuickDraw() {
  if (!quickDraw_) {
    quickDraw_ = new QuickDrawWindow(*this);
    quickDraw_->setObjectName(QStringLiteral("Form3"));
    QMdiSubWindow* sub = AddChild(quickDraw_, OnClose::Destroy);
    const WindowPlacement& last = placements_[kQuickDrawIndex];
    sub->move(qRound(last.left / kTwipsPerPixel), qRound(last.top / kTwipsPerPixel));
  }
  return *quickDraw_;
}

QuickDrawWindow& MainWindow::QuickDraw() {
  if (!quickDraw_) {
    EnsureQuickDraw();
    ShowChild(quickDraw_);
  }
  return *quickDraw_;
}

PlayGodWindow& MainWindow::EnsurePlayGod() {
  if (!playGod_) {
    playGod_ = new PlayGodWindow(*this);
    playGod_->setObjectName(QStringLiteral("PlayGod"));
    QMdiSubWindow* sub = AddChild(playGod_, OnClose::Destroy);
    const WindowPlacement& last = placements_[kPlayGodIndex];
    sub->move(qRound(last.left / kTwipsPerPixel), qRound(last.top / kTwipsPerPixel));
  }
  return *playGod_;
}

LogWindow& MainWindow::Log() {
  if (!log_) {
    log_ = new LogWindow(document_, *editMenu_, *Action("menu_edit_del"));
    AddChild(log_, OnClose::Hide);
  }
  return *log_;
}

void MainWindow::ShowWorldView() {
  ShowChild(&EnsureWorldView());
}

void MainWindow::ShowPropertiesWindow() {
  ShowChild(&Properties());
}

void MainWindow::ShowQuickDrawWindow() {
  ShowChild(&EnsureQuickDraw());
}

void MainWindow::ShowPlayGod() {
  ShowChild(&EnsurePlayGod());
}

void MainWindow::ShowLog() {
  ShowChild(&Log());
}

StatisticsWindow& MainWindow::Statistics() {
  if (!statistics_) {
    statistics_ = new StatisticsWindow(*this);
    statistics_->setObjectName(QStringLiteral("Statistics"));
    AddChild(statistics_, OnClose::Hide);
  }
  return *statistics_;
}

void MainWindow::ShowStatistics() {
  ShowChild(&Statistics());
}

void MainWindow::ShowFamilyTree() {
  if (!familyTree_) {
    familyTree_ = new FamilyTreeWindow(*this);
    familyTree_->setObjectName(QStringLiteral("FamilyTree"));
    AddChild(familyTree_, OnClose::Hide);
    // A living animal of the tree shows its genes in the properties window.
    connect(familyTree_, &FamilyTreeWindow::ShowGenes, this, [this](int slot) {
      PropertiesWindow& properties = Properties();
      properties.UpdateList();
      properties.SelectSlot(slot);
      ShowPropertiesWindow();
    });
  }
  ShowChild(familyTree_);
}

void MainWindow::ShowSpeciesTree() {
  if (!speciesTree_) {
    speciesTree_ = new SpeciesTreeWindow(*this);
    speciesTree_->setObjectName(QStringLiteral("SpeciesTree"));
    AddChild(speciesTree_, OnClose::Hide);
    connect(speciesTree_, &SpeciesTreeWindow::ShowProperties, this,
            &MainWindow::ShowPropertiesWindow);
  }
  ShowChild(speciesTree_);
}

void MainWindow::ShowTimeline() {
  if (!timeline_) {
    timeline_ = new TimelineWindow(document_, seam_, *worldFolders_);
    timeline_->setObjectName(QStringLiteral("Timeline"));
    AddChild(timeline_, OnClose::Hide);
  }
  ShowChild(timeline_);
}

void MainWindow::ShowAbout() {
  if (!about_) about_ = new AboutWindow(this);
  const bool first = !aboutOpened_;
  aboutOpened_ = true;
  if (first) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int height = environment_.screenHeight ? environment_.screenHeight()
                       : screen != nullptr       ? screen->geometry().height()
                                                 : 768;
    if (height < 600) {
      seam_.ShowMessageBox("Ombrivale will view better in an 800x600 screen mode.", "Ombrivale",
                           Buttons::Ok);
    }
  }
  about_->exec();
  if (first) ShowWorldView();
}

void MainWindow::ShowWorldConditions() {
  // One at a time; a second choice of the entry brings the open one forward.
  if (auto* open = findChild<ConditionsDialog*>()) {
    open->raise();
    open->activateWindow();
    return;
  }
  auto* dialog = new ConditionsDialog(world_->conditions, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this,
          [this, dialog] { world_->conditions = dialog->Chosen(); });
  dialog->open();
}

void MainWindow::OpenHelp() {
  const QUrl page = QUrl::fromLocalFile(folders_.helpPage);
  if (environment_.openDocument) {
    if (!environment_.openDocument(page)) ShowHelpWindow();
  } else {
    OpenWithDesktop(this, page, [this] { ShowHelpWindow(); });
  }
}

void MainWindow::ShowHelpWindow() {
  if (!help_) {
    help_ = new QTextBrowser;
    help_->setObjectName(QStringLiteral("HelpWindow"));
    help_->setWindowTitle(QStringLiteral("Ombrivale Help"));
    help_->setOpenExternalLinks(true);
    help_->setSearchPaths({QFileInfo(folders_.helpPage).absolutePath()});
    help_->setHtml(HelpPageForWindow(folders_.helpPage));
    QMdiSubWindow* sub = AddChild(help_, OnClose::Hide);
    // Along the left edge, as tall as the work area: a page is read downward.
    const QSize area = mdi_->viewport()->size();
    sub->setGeometry(0, 0, std::min(area.width(), 720), std::max(area.height(), 360));
  }
  ShowChild(help_);
}

void MainWindow::ApplyPlacements(const WindowPlacement (&windows)[kWindowCount]) {
  QWidget* created[kWindowCount] = {&EnsureWorldView(), &Properties(), &EnsureQuickDraw(), &Log(),
                                    &EnsurePlayGod()};
  for (int i = 0; i < kWindowCount; ++i) {
    placements_[i] = windows[i];
    QMdiSubWindow* sub = SubWindowOf(created[i]);
    sub->move(qRound(windows[i].left / kTwipsPerPixel), qRound(windows[i].top / kTwipsPerPixel));
    if (windows[i].shown) {
      ShowChild(created[i]);
    } else {
      sub->hide();
    }
  }
}

void MainWindow::CollectPlacements(WindowPlacement (&windows)[kWindowCount]) {
  QWidget* existing[kWindowCount] = {worldView_, properties_, quickDraw_, log_, playGod_};
  for (int i = 0; i < kWindowCount; ++i) {
    if (QMdiSubWindow* sub = SubWindowOf(existing[i])) {
      placements_[i].left = static_cast<float>(sub->pos().x() * kTwipsPerPixel);
      placements_[i].top = static_cast<float>(sub->pos().y() * kTwipsPerPixel);
      placements_[i].shown = IsShown(existing[i]);
    } else {
      placements_[i].shown = false;
    }
    windows[i] = placements_[i];
  }
}

// --- Main window services ---------------------------------------------------

bool MainWindow::IsMainWindowMinimized() const {
  return isMinimized();
}

void MainWindow::MaximizeMainWindow() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

void MainWindow::ShowWorldNow() {
  // Inside a tick (a message box of the tick lets clicks run) the tick
  // draws everything when it ends.
  if (document_.InTick()) return;
  document_.Drain();
  DrawAnimalDots(*world_, *display_);
  PlaceMarkerOnTracked(*world_, *display_);
  miniMap_->update();
  legend_->Refresh();
  if (worldView_) worldView_->DoZoomed();
}

void MainWindow::FollowHandChanges(int dropped, int sacrificed) {
  if (dropped == 0 && sacrificed == 0) return;  // the tick's own births and deaths
  const int tracked = display_->SelectedAnimal;
  // A dead animal is tracked no longer; its marker stays where it died.
  if (tracked < 1 || tracked > kSlotCount || !IsOccupied(AnimalAt(*world_, tracked)))
    display_->SelectedAnimal = 0;
  ShowWorldNow();
}

// --- Mini map ---------------------------------------------------------------

void MainWindow::MiniMapLeftPressed(double x, double y) {
  // Twice the container's width, in mini-map units: more than any distance.
  const double best = 2.0 * ComputeMainLayout().picture1.width;
  lastChosen_ = NearestAnimal(*world_, x, y, best);
  PropertiesWindow& properties = Properties();
  properties.UpdateList();
  properties.SelectSlot(lastChosen_);
  properties.DrawIt();
  properties.LocateIt();  // which shows the world with the marker on the chosen
}

void MainWindow::MiniMapRightPressed(double x, double y) {
  MoveMarker(*display_, x, y);
  ShowWorldNow();
}

// --- Timers, start-up and quitting -------------------------------------------

void MainWindow::ConnectDocument() {
  WorldDocument* document = &document_;
  connect(document, &WorldDocument::Ticked, this, &MainWindow::ShowTick);
  connect(document, &WorldDocument::MessageShown, this, &MainWindow::RefreshStatus);
  connect(document, &WorldDocument::CaptionsChanged, this, [this] {
    RefreshStatus();
    ShowMainCaption();
  });
  // A map repainted or an animal tracked by another window (Play God's sea
  // level, the properties window's "Locate It") shows at once, paused or not.
  connect(document, &WorldDocument::MapRedrawn, this, &MainWindow::ShowWorldNow);
  connect(document, &WorldDocument::TrackedAnimalChanged, this, &MainWindow::ShowWorldNow);
  connect(
      document, &WorldDocument::AnimalsChanged, this,
      [this](int, int, int dropped, int sacrificed) { FollowHandChanges(dropped, sacrificed); });
  connect(document, &WorldDocument::SampleRecorded, this, &MainWindow::NoteMonthForRecordings);
}

void MainWindow::ShowTick() {
  // One repaint of the mini map (painted when the tick yields) and the world
  // view's redraw; a batch of "&Fast" shows the status and the maps once, at
  // its end.
  if (run_ == nullptr || !run_->InBatch()) {
    RefreshStatus();
    miniMap_->update();
    legend_->Refresh();
    DrawWorldView();
  }
  seam_.ApplyPointer();
  if (run_ != nullptr) run_->NoticeDiedOut();
}

void MainWindow::DrawWorldView() {
  if (worldView_ == nullptr || isMinimized()) return;
  const QMdiSubWindow* sub = SubWindowOf(worldView_);
  if (sub != nullptr && !sub->isHidden() && !sub->isMinimized() && !worldView_->isHidden())
    worldView_->DoZoomed();
}

QString MainWindow::Caption() const {
  // "Reef - Brenlo Ostik's Ombrivale": the running world's folder first.
  if (worldFolders_ == nullptr) return QString::fromUtf8(kCaption);
  return QStringLiteral("%1 - %2").arg(QFileInfo(worldFolders_->Current()).fileName(),
                                       QString::fromUtf8(kCaption));
}

void MainWindow::ShowCaption() {
  if (!isMinimized()) setWindowTitle(Caption());
}

void MainWindow::ShowMainCaption() {
  const std::string& caption = display_->MainCaption;
  // While minimised the tick sets the date caption; a restored window shows
  // the program's name again (changeEvent).
  if (caption.empty() || !isMinimized() ||
      windowTitle() == QLatin1String(caption.data(), static_cast<qsizetype>(caption.size())))
    return;
  setWindowTitle(QString::fromStdString(caption));
}

void MainWindow::RecordFrames() {
  if (mapFrames_ != nullptr && mapFrames_->Recording()) {
    mapFrames_->Stop();
  } else {
    if (mapFrames_ == nullptr) {
      mapFrames_ = std::make_unique<FrameRecorder>([this] { return miniMap_->grab().toImage(); });
    }
    StartRecording(*mapFrames_, seam_,
                   askRecordFrames ? askRecordFrames
                                   : RecordingDialogues(this, QStringLiteral("the Mini Map")),
                   world_->history.recorded);
  }
  SyncRecordCaption();
}

void MainWindow::SyncRecordCaption() {
  const bool recording = mapFrames_ != nullptr && mapFrames_->Recording();
  recordFrames_->setText(recording ? QStringLiteral("Stop Recor&ding")
                                   : QStringLiteral("Recor&d Frames..."));
}

void MainWindow::NoteMonthForRecordings() {
  const uint64_t months = world_->history.recorded;
  if (mapFrames_ != nullptr && mapFrames_->Recording() && !mapFrames_->NoteMonths(months)) {
    SyncRecordCaption();
    ReportRecordingFailure(*mapFrames_, seam_);
  }
}

void MainWindow::StartUp() {
  document_.SetHeld(true);
  const ProgramSettings settings = LoadProgramSettings(ProgramSettingsFile());
  // The world open at the last quit, while it is still there.
  QString folder = folders_.autoSaveFolder;
  if (!settings.currentWorld.isEmpty() && HasSavedWorld(settings.currentWorld.toStdString()))
    folder = settings.currentWorld;
  StartUpPlan plan;
  plan.settingsPath = folders_.settingsPath.toStdString();
  plan.worldFolder = folder.toStdString();
  plan.seed = environment_.seed;
  ombrivale::StartUp(*world_, plan);
  ApplyProgramSettings(settings);
  worldFolders_->SetCurrent(folder);
  SyncCheckMarks();
  RefreshStatus();
  document_.SetHeld(false);
  ShowWorldNow();
}

void MainWindow::Quit() {
  if (ended_) return;
  Status settings;
  if (ombrivale::Quit(*world_, folders_.settingsPath.toStdString(),
                      worldFolders_->Current().toStdString(), settings)) {
    document_.Drain();  // the boxes of a save that failed
    // A settings file not written is told; the program ends all the same.
    if (!settings.ok()) seam_.ShowMessageBox(FileErrorText(settings), "ERROR", Buttons::Ok);
    if (!SaveProgramSettings(ProgramSettingsFile(), CollectProgramSettings())) {
      seam_.ShowMessageBox(
          "The settings file " + ProgramSettingsFile().toStdString() + " could not be written.",
          "ERROR", Buttons::Ok);
    }
    EndProgram();
  }
}

QString MainWindow::ProgramSettingsFile() const {
  return ProgramSettingsPath(QFileInfo(folders_.settingsPath).absolutePath());
}

void MainWindow::ApplyProgramSettings(const ProgramSettings& settings) {
  world_->Filters.Sacrificed = settings.showSacrificed;
  display_->colourBy = settings.colourBy;
  ApplyRunAndStatistics(settings.run);
  if (settings.speciesTreeShown) ShowSpeciesTree();
  worldFolders_->SetRecent(settings.recentWorlds);
  world_->savepoints.on = settings.savepointsKept;
  world_->savepoints.capBytes = static_cast<uint64_t>(settings.savepointCapMegabytes) << 20;
  world_->savepoints.goBackOnExtinction = settings.goBackOnExtinction;
}

ProgramSettings MainWindow::CollectProgramSettings() const {
  ProgramSettings settings;
  settings.showSacrificed = world_->Filters.Sacrificed;
  settings.colourBy = display_->colourBy;
  settings.run = CollectRunAndStatistics();
  settings.speciesTreeShown = IsShown(speciesTree_);
  if (worldFolders_->Current() != QDir::cleanPath(folders_.autoSaveFolder))
    settings.currentWorld = worldFolders_->Current();
  settings.recentWorlds = worldFolders_->Recent();
  settings.savepointsKept = world_->savepoints.on;
  settings.savepointCapMegabytes = static_cast<int>(world_->savepoints.capBytes >> 20);
  settings.goBackOnExtinction = world_->savepoints.goBackOnExtinction;
  return settings;
}

void MainWindow::ApplyRunAndStatistics(const RunAndStatisticsSettings& settings) {
  run_->SetSpeed(settings.fast ? Speed::Fast : Speed::RealTime);
  if (!settings.statisticsShown && !statistics_) return;
  StatisticsWindow& window = Statistics();
  window.SetPage(settings.statisticsPage);
  window.ChooseGene(static_cast<GeneGroup>(std::clamp(settings.geneGroup, 0, 2)), settings.gene);
  QMdiSubWindow* sub = SubWindowOf(&window);
  if (settings.statisticsPlace.x() >= 0) sub->move(settings.statisticsPlace);
  if (settings.statisticsSize.isValid()) sub->resize(settings.statisticsSize);
  if (settings.statisticsShown) ShowChild(&window);
}

RunAndStatisticsSettings MainWindow::CollectRunAndStatistics() const {
  RunAndStatisticsSettings settings;
  settings.fast = run_->CurrentSpeed() == Speed::Fast;
  if (const QMdiSubWindow* sub = SubWindowOf(statistics_)) {
    settings.statisticsShown = IsShown(statistics_);
    settings.statisticsPlace = sub->pos();
    settings.statisticsSize = sub->size();
    settings.statisticsPage = statistics_->Page();
    settings.geneGroup = static_cast<int>(statistics_->Group());
    settings.gene = statistics_->GeneName();
  }
  return settings;
}

void MainWindow::EndProgram() {
  ended_ = true;
  document_.SetHeld(true);
  document_.Timer1().stop();
  document_.Timer2().stop();
  seam_.SetPointer(Pointer::Default);
  seam_.ApplyPointer();
  if (environment_.endProgram) {
    environment_.endProgram();
  } else {
    hide();
    QCoreApplication::exit(0);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (ended_) {
    event->accept();
    return;
  }
  event->ignore();
  Quit();
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    setWindowTitle(Caption());
    ShowMainCaption();  // minimised: the date as the last tick left it
  }
  QMainWindow::changeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  setWindowTitle(Caption());
  QMainWindow::resizeEvent(event);
}

}  // namespace ombrivale::ui
