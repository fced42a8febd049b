// The main window: the multiple-document frame with the mini map, the three
// status frames, the menus and the two timers that drive the simulation.
#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTextBrowser>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "core/world.h"
#include "ui/about_window.h"
#include "ui/family_tree_window.h"
#include "ui/frame_recorder.h"
#include "ui/log_window.h"
#include "ui/main_layout.h"
#include "ui/main_window_services.h"
#include "ui/play_god_window.h"
#include "ui/program_settings.h"
#include "ui/properties_window.h"
#include "ui/qt_seam.h"
#include "ui/quick_draw.h"
#include "ui/run_control.h"
#include "ui/species_tree_window.h"
#include "ui/statistics_window.h"
#include "ui/timeline_window.h"
#include "ui/world_folders.h"
#include "ui/world_view.h"
#include "world/background_save.h"
#include "world/settings_file.h"

class QAction;
class QMenu;
class QUrl;

namespace ombrivale::ui {

class MapLegendWidget;
class MiniMapWidget;
class StatusFrame;

// Where the program keeps its files.
struct ProgramFolders {
  QString settingsPath;    // ".../OB.ini"
  QString autoSaveFolder;  // ".../AutoSave"
  QString helpPage;        // ".../OBHelp.html"
};

// "OB.ini" and "AutoSave" live in the program's folder, or in `fallback`
// (the user's data folder) when the program's folder cannot be written. The
// help page is the one beside the program, else the installed one in
// ../share/ombrivale.
ProgramFolders ChooseProgramFolders(const QString& programFolder, const QString& fallback);

// What the window needs from the machine; tests replace the parts that would
// leave the process or open a browser.
struct ProgramEnvironment {
  QString programFolder;              // empty: the executable's folder
  QString fallbackFolder;             // empty: QStandardPaths::AppDataLocation
  int mapScale = 0;                   // whole enlargement of the mini map; 0: chosen by screen size
  std::function<int()> screenHeight;  // empty: the primary screen's height
  // Opens a document with the desktop's program for it; false when none
  // could. Empty: xdg-open, watched to its end, or QDesktopServices.
  std::function<bool(const QUrl&)> openDocument;
  std::function<void()> endProgram;  // empty: QCoreApplication::exit(0)
  // Where the world's saves are written (on their own thread); empty: the
  // real file system. Must outlive the window.
  FileSystem* saveFiles = nullptr;
  // Tests and pictures: the world's generator on a virtual clock from this
  // seed, as `ombrivale-run --seed`; none: the time of day.
  std::optional<uint64_t> seed;
  // Tests: the "&Run" menu starts paused, so nothing ticks until a test
  // steps the world or resumes it.
  bool startPaused = false;
};

// The option entries' flags, for the handlers bound to them.
enum class Option : uint8_t { Log, Restart, Colour, Least, AutoSave };

class MainWindow : public QMainWindow, public MainWindowServices {
  Q_OBJECT

 public:
  explicit MainWindow(ProgramEnvironment environment = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The load handler (the session's StartUp with the program's settings file
  // and "AutoSave" folder). Run once, before show().
  void StartUp();
  // The quit dialogue; every attempt to close the window comes here.
  void Quit();
  bool Ended() const { return ended_; }
  // The maps after an action between ticks (a click, a kill, a drop, an
  // option, the map repainted): the mini map's animals and marker from the
  // table as it stands and the world view redrawn, so a paused world shows
  // the change at once.
  void ShowWorldNow();

  // MainWindowServices
  WorldDocument& Document() override { return document_; }
  Seam& WindowSeam() override { return seam_; }
  bool IsMainWindowMinimized() const override;
  void MaximizeMainWindow() override;
  QuickDrawWindow& QuickDraw() override;
  PropertiesWindow& Properties() override;
  void ShowWorldView() override;

  QtSeam& QtWindowSeam() { return seam_; }
  BackgroundSaver& Saver() { return document_.Saver(); }
  const ProgramFolders& Folders() const { return folders_; }

  // The "&Window" and "&Help" entries.
  void ShowPropertiesWindow();
  void ShowQuickDrawWindow();
  void ShowPlayGod();
  void ShowLog();
  void ShowFamilyTree();
  void ShowSpeciesTree();
  // "Show T&imeline": the running world's savepoints (ui/timeline_window.h).
  void ShowTimeline();
  TimelineWindow* TimelineIfCreated() const { return timeline_; }
  void ShowAbout();
  // "&World Conditions...": the dialog (ui/conditions_dialog.h), window
  // modal; OK applies its values to the running world.
  void ShowWorldConditions();
  // "&Help": the help page in the desktop's browser, or, when none opens
  // it, in the help window.
  void OpenHelp();
  void ShowHelpWindow();
  QTextBrowser* HelpWindowIfCreated() const { return help_; }

  // The option and filter entries' handlers: each flips its flag and the
  // check marks follow.
  void ToggleOption(Option option);
  void ToggleFilter(Cause cause);
  // "Colour &By": the mini map's and the world view's animals coloured by
  // `choice`, with the legend under the map. "Ge&ne..." asks for the gene
  // through `chooseColourGene` (given the genes' names and the one chosen
  // now; an empty answer keeps the choice), a list dialog when not set.
  void SetColourBy(const ColourChoice& choice);
  std::function<QString(const QStringList&, const QString&)> chooseColourGene;
  // The label of a savepoint the user marks ("File > Mark Savepoint"),
  // asked in a dialogue; `ok` false when cancelled.
  std::function<QString(bool& ok)> askSavepointLabel;
  MapLegendWidget& MapLegend() { return *legend_; }

  // "File > &Record Frames...": the mini map, at its scale and colouring,
  // as numbered PNG files every few months (asked through
  // `askRecordFrames`, the usual dialogues when not set) until "Stop
  // &Recording". Null before the first recording.
  void RecordFrames();
  // "File > Mark Savepoint": a savepoint of the world as it stands, with the
  // label the user gives, written on the background saver.
  void MarkSavepointAsked();
  AskRecording askRecordFrames;
  FrameRecorder* MapFrames() const { return mapFrames_.get(); }
  // Sets every check mark from the flags and filters now in force.
  void SyncCheckMarks();

  // The "&Run" menu and the status bar; the statistics window, created on
  // first use (closing hides it).
  RunControl& Run() { return *run_; }
  bool TicksOnTimer2() const { return run_ == nullptr || run_->TicksOnTimer2(); }
  StatisticsWindow& Statistics();
  void ShowStatistics();
  StatisticsWindow* StatisticsIfCreated() const { return statistics_; }

  // The secondary windows that exist (nullptr when not created or destroyed).
  WorldViewWindow* WorldView() const { return worldView_; }
  PropertiesWindow* PropertiesIfCreated() const { return properties_; }
  QuickDrawWindow* QuickDrawIfCreated() const { return quickDraw_; }
  PlayGodWindow* PlayGodIfCreated() const { return playGod_; }
  LogWindow* LogIfCreated() const { return log_; }
  AboutWindow* AboutIfCreated() const { return about_; }
  FamilyTreeWindow* FamilyTreeIfCreated() const { return familyTree_; }
  SpeciesTreeWindow* SpeciesTreeIfCreated() const { return speciesTree_; }
  LogWindow& Log();
  WorldFolders& Worlds() { return *worldFolders_; }
  // The frame around a secondary window inside the main window.
  QMdiSubWindow* SubWindowOf(QWidget* window) const;
  bool IsShown(QWidget* window) const;

  MiniMapWidget& MiniMap() { return *miniMap_; }
  QMenu& EditMenu() { return *editMenu_; }
  QAction* Action(const char* name) const;
  StatusFrame& Frame(int index);  // 1 "Time:", 2 "Life:", 3 "Messages:"
  QTimer& Timer1() { return document_.Timer1(); }
  QTimer& Timer2() { return document_.Timer2(); }
  bool InTick() const { return document_.InTick(); }
  // The slot the last left click on the mini map chose (0: none).
  int LastChosenSlot() const { return lastChosen_; }

  // One simulation tick (the document's).
  void Tick() { document_.Tick(); }
  // Labels 1..3 from the world's captions, when they changed.
  void RefreshStatus();
  // Mini map clicks, in mini-map units.
  void MiniMapLeftPressed(double x, double y);
  void MiniMapRightPressed(double x, double y);

  // Window places for the settings file, in twips.
  void ApplyPlacements(const WindowPlacement (&windows)[kWindowCount]);
  void CollectPlacements(WindowPlacement (&windows)[kWindowCount]);

  static const char* const kCaption;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class OnClose : uint8_t { Hide, Destroy };

  // The constructor's steps.
  void ChooseFolders();
  void BuildCentralWidget();
  void ConnectDocument();
  void BuildMenus();
  void BuildFileMenu();
  void BuildOptionsMenu();
  void BuildWindowMenu();
  void BuildEditMenu();
  // "Show &Statistics", the "&Run" menu and the status bar.
  void AddRunControl();
  // A desktop logout asks to quit as the window's closing does.
  void FollowSessionManager();
  template <class Handler>
  QAction* AddEntry(QMenu* menu, const char* name, const QString& caption, Handler handler);
  template <class Handler>
  QAction* AddCheckEntry(QMenu* menu, const char* name, const QString& caption, Handler handler);
  void BuildColourByMenu(QMenu* options);
  void ApplyLayout();
  QMdiSubWindow* AddChild(QWidget* window, OnClose onClose);
  void ShowChild(QWidget* window);
  WorldViewWindow& EnsureWorldView();
  PlayGodWindow& EnsurePlayGod();
  QuickDrawWindow& EnsureQuickDraw();
  void EndProgram();
  // The program's own settings file ("Ombrivale.ini" beside "OB.ini").
  QString ProgramSettingsFile() const;
  void ApplyProgramSettings(const ProgramSettings& settings);
  ProgramSettings CollectProgramSettings() const;
  void ApplyRunAndStatistics(const RunAndStatisticsSettings& settings);
  RunAndStatisticsSettings CollectRunAndStatistics() const;
  uint8_t& Flag(Option option);
  // After each tick: the maps drawn, the pointer shown, a world that has
  // just died out announced.
  void ShowTick();
  // Play God laid or killed animals: a dead tracked animal is tracked no
  // longer, and the maps show the change.
  void FollowHandChanges(int dropped, int sacrificed);
  // After each month's sample: the map's recording takes its frame.
  void NoteMonthForRecordings();
  // The world view's redraw, when it is shown.
  void DrawWorldView();
  // The title bar: the world's folder and the program's name.
  QString Caption() const;
  void ShowCaption();
  // The title bar while minimised, from Display::MainCaption.
  void ShowMainCaption();
  void SyncRecordCaption();

  ProgramEnvironment environment_;
  WorldDocument document_;
  World* world_;      // the document's, for short
  Display* display_;  // the document's: what the windows show of the world
  std::unique_ptr<FrameRecorder> mapFrames_;
  QAction* recordFrames_ = nullptr;
  WorldFolders* worldFolders_ = nullptr;
  QtSeam seam_;
  ProgramFolders folders_;
  int scale_ = 1;

  QWidget* picture1_ = nullptr;
  MiniMapWidget* miniMap_ = nullptr;
  MapLegendWidget* legend_ = nullptr;
  StatusFrame* frames_[3] = {nullptr, nullptr, nullptr};
  QMdiArea* mdi_ = nullptr;
  QMenu* editMenu_ = nullptr;

  QPointer<WorldViewWindow> worldView_;
  QPointer<PropertiesWindow> properties_;
  QPointer<QuickDrawWindow> quickDraw_;
  QPointer<PlayGodWindow> playGod_;
  QPointer<LogWindow> log_;
  QPointer<AboutWindow> about_;
  QPointer<StatisticsWindow> statistics_;
  RunControl* run_ = nullptr;
  QPointer<FamilyTreeWindow> familyTree_;
  QPointer<SpeciesTreeWindow> speciesTree_;
  QPointer<TimelineWindow> timeline_;
  QPointer<QTextBrowser> help_;
  bool aboutOpened_ = false;
  // Last places of the windows that are destroyed when closed, in twips.
  WindowPlacement placements_[kWindowCount];

  bool ended_ = false;
  int lastChosen_ = 0;
  std::string shownLabels_[3];
};

}  // namespace ombrivale::ui
