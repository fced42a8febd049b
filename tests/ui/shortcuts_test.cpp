// Every shortcut and mnemonic of the main window: none shared by two
// bindings of one key press, each reached by real key presses.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtTest/QTest>
#include <map>
#include <set>
#include <utility>

#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

// The symbol Shift types on each key of a US keyboard that has one.
constexpr std::pair<Qt::Key, Qt::Key> kShiftedSymbols[] = {
    {Qt::Key_Period, Qt::Key_Greater},
    {Qt::Key_Comma, Qt::Key_Less},
    {Qt::Key_Slash, Qt::Key_Question},
    {Qt::Key_Semicolon, Qt::Key_Colon},
    {Qt::Key_Apostrophe, Qt::Key_QuoteDbl},
    {Qt::Key_BracketLeft, Qt::Key_BraceLeft},
    {Qt::Key_BracketRight, Qt::Key_BraceRight},
    {Qt::Key_Backslash, Qt::Key_Bar},
    {Qt::Key_QuoteLeft, Qt::Key_AsciiTilde},
    {Qt::Key_Minus, Qt::Key_Underscore},
    {Qt::Key_Equal, Qt::Key_Plus},
    {Qt::Key_1, Qt::Key_Exclam},
    {Qt::Key_2, Qt::Key_At},
    {Qt::Key_3, Qt::Key_NumberSign},
    {Qt::Key_4, Qt::Key_Dollar},
    {Qt::Key_5, Qt::Key_Percent},
    {Qt::Key_6, Qt::Key_AsciiCircum},
    {Qt::Key_7, Qt::Key_Ampersand},
    {Qt::Key_8, Qt::Key_Asterisk},
    {Qt::Key_9, Qt::Key_ParenLeft},
    {Qt::Key_0, Qt::Key_ParenRight}};

// What Qt's shortcut map is offered for the press of `key` with `held`: the
// event carries the symbol typed. Platforms with an xkb key map (X11,
// Wayland) add the key with every modifier held and the symbol without the
// Shift it used up; the others (offscreen) offer the event alone.
std::vector<QKeyCombination> Offered(Qt::Key key, Qt::KeyboardModifiers held, bool xkb) {
  Qt::Key typed = key;
  if (held & Qt::ShiftModifier) {
    for (const auto& [base, symbol] : kShiftedSymbols) {
      if (base == key) typed = symbol;
    }
  }
  if (!xkb || typed == key) return {QKeyCombination(held, typed)};
  return {QKeyCombination(held, key), QKeyCombination(held & ~Qt::ShiftModifier, typed)};
}

struct Binding {
  QString owner;
  QKeySequence keys;
};

// Every action's shortcuts and the menu bar's Alt+letter of each title.
std::vector<Binding> Bindings(ui::MainWindow& window) {
  std::vector<Binding> bindings;
  for (QAction* action : window.findChildren<QAction*>()) {
    for (const QKeySequence& keys : action->shortcuts())
      bindings.push_back({action->objectName(), keys});
  }
  for (QAction* title : window.menuBar()->actions())
    bindings.push_back({title->text(), QKeySequence::mnemonic(title->text())});
  return bindings;
}

TEST(ShortcutsTest, NoKeyPressMatchesTwoBindingsAndEveryActionIsReachedOnEveryPlatform) {
  TestMainWindow t;
  const std::vector<Binding> bindings = Bindings(*t.window);
  std::vector<Qt::Key> keys = {Qt::Key_Space, Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape};
  for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key)
    keys.push_back(static_cast<Qt::Key>(key));
  for (int key = Qt::Key_F1; key <= Qt::Key_F12; ++key)
    keys.push_back(static_cast<Qt::Key>(key));
  for (const auto& [base, symbol] : kShiftedSymbols)
    keys.push_back(base);
  const Qt::KeyboardModifier modifiers[] = {Qt::ShiftModifier, Qt::ControlModifier,
                                            Qt::AltModifier};
  for (const bool xkb : {true, false}) {
    std::set<QString> reached;
    for (const Qt::Key key : keys) {
      for (int mask = 0; mask < 8; ++mask) {
        Qt::KeyboardModifiers held;
        for (int i = 0; i < 3; ++i) {
          if (mask & (1 << i)) held |= modifiers[i];
        }
        QStringList matched;
        for (const QKeyCombination offered : Offered(key, held, xkb)) {
          for (const Binding& binding : bindings) {
            if (binding.keys.count() == 1 && binding.keys[0] == offered) matched << binding.owner;
          }
        }
        for (const QString& owner : matched)
          reached.insert(owner);
        EXPECT_LE(matched.size(), 1)
            << (xkb ? "xkb: " : "plain: ")
            << qPrintable(QKeySequence(QKeyCombination(held, key)).toString()) << " matches "
            << qPrintable(matched.join(", "));
      }
    }
    for (const Binding& binding : bindings)
      EXPECT_TRUE(reached.count(binding.owner))
          << qPrintable(binding.owner) << (xkb ? " (xkb)" : "");
  }
}

// Within one menu (or the menu bar, or one secondary window's buttons) two
// entries with one underlined letter: Qt moves between them and triggers
// neither. The rules' own Options menu has two on L, which stay.
TEST(ShortcutsTest, NoMenuOrWindowUnderlinesOneLetterTwice) {
  TestMainWindow t;
  t.window->ShowPlayGod();
  t.window->ShowPropertiesWindow();
  t.window->ShowStatistics();
  t.window->ShowFamilyTree();
  t.window->ShowSpeciesTree();
  t.window->ShowLog();
  t.window->ShowQuickDrawWindow();
  t.window->ShowTimeline();
  const auto check = [](const QString& where, const QList<QString>& texts, QChar allowed) {
    std::map<QChar, QStringList> byLetter;
    for (const QString& text : texts) {
      const QKeySequence mnemonic = QKeySequence::mnemonic(text);
      if (!mnemonic.isEmpty()) byLetter[QChar(mnemonic[0].key())] << text;
    }
    for (const auto& [letter, owners] : byLetter) {
      if (owners.size() > 1 && letter != allowed)
        ADD_FAILURE() << qPrintable(where) << ": " << qPrintable(owners.join(", "));
    }
  };
  for (const bool paused : {false, true}) {  // "&Pause" reads "&Resume" while paused
    t.window->Run().SetPaused(paused);
    QList<QString> titles;
    for (QAction* title : t.window->menuBar()->actions())
      titles << title->text();
    check(QStringLiteral("menu bar"), titles, QChar());
    for (QMenu* menu : t.window->findChildren<QMenu*>()) {
      QList<QString> entries;
      for (QAction* entry : menu->actions())
        entries << entry->text();
      check(menu->objectName(), entries,
            menu->objectName() == "menu_options" ? QChar('L') : QChar());
    }
  }
  for (QMdiSubWindow* sub : t.window->findChildren<QMdiSubWindow*>()) {
    QList<QString> buttons;
    for (QAbstractButton* button : sub->widget()->findChildren<QAbstractButton*>())
      buttons << button->text();
    check(sub->widget()->objectName(), buttons, QChar());
  }
}

// Presses Alt+`title`, then each letter of `path`, as a person would.
void PressMnemonics(ui::MainWindow& window, Qt::Key title, const QList<Qt::Key>& path) {
  QTest::keyClick(&window, title, Qt::AltModifier);
  for (const Qt::Key key : path) {
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, key);
  }
}

void CloseMenus() {
  while (QWidget* popup = QApplication::activePopupWidget())
    popup->close();
}

Qt::Key KeyOf(const QString& text) {
  return static_cast<Qt::Key>(QKeySequence::mnemonic(text)[0].key());
}

// Every enabled entry of every menu, reached by Alt+letter and the letters
// of its menus; the entries' own handlers are held back meanwhile.
TEST(ShortcutsTest, EveryMenuEntryIsReachedByItsMnemonics) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  std::vector<QAction*> triggered;
  QObject::connect(t.window->menuBar(), &QMenuBar::triggered,
                   [&triggered](QAction* action) { triggered.push_back(action); });
  int reached = 0;
  const std::function<void(QMenu*, Qt::Key, QList<Qt::Key>)> walk = [&](QMenu* menu, Qt::Key title,
                                                                        QList<Qt::Key> path) {
    for (QAction* entry : menu->actions()) {
      if (entry->isSeparator() || !entry->isEnabled()) continue;
      if (menu->objectName() == "menu_options" && KeyOf(entry->text()) == Qt::Key_L) continue;
      QList<Qt::Key> keys = path;
      keys << KeyOf(entry->text());
      if (entry->menu() != nullptr) {
        walk(entry->menu(), title, keys);
        continue;
      }
      triggered.clear();
      const bool blocked = entry->blockSignals(true);
      PressMnemonics(*t.window, title, keys);
      entry->blockSignals(blocked);
      EXPECT_EQ(triggered, std::vector<QAction*>{entry}) << qPrintable(entry->objectName());
      CloseMenus();
      ++reached;
    }
  };
  for (QAction* title : t.window->menuBar()->actions()) {
    QTest::keyClick(t.window.get(), KeyOf(title->text()), Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), title->menu()) << qPrintable(title->text());
    CloseMenus();
    walk(title->menu(), KeyOf(title->text()), {});
  }
  EXPECT_GE(reached, 29);              // all but the two on L and the three greyed
  EXPECT_EQ(t.world().TickCount, 0u);  // nothing ran meanwhile
}

TEST(ShortcutsTest, KeysRunTheWindowAsTheirMenusSay) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  World& world = t.world();
  ui::MainWindow& window = *t.window;

  QTest::keyClick(&window, Qt::Key_Period);
  EXPECT_EQ(world.TickCount, 1u);
  // Shift and the full stop as X11 sends it (the symbol typed, Shift held),
  // and as it comes where the key is not translated.
  for (const Qt::Key key : {Qt::Key_Greater, Qt::Key_Period}) {
    const int month = world.Month;
    const uint64_t ticks = world.TickCount;
    QTest::keyClick(&window, key, Qt::ShiftModifier);
    EXPECT_NE(world.Month, month) << key;
    EXPECT_EQ(world.SpeedCount, 0) << key;
    EXPECT_GT(world.TickCount, ticks) << key;
  }

  QTest::keyClick(&window, Qt::Key_Space);
  EXPECT_FALSE(t.run().Paused());
  QTest::keyClick(&window, Qt::Key_Space);
  EXPECT_TRUE(t.run().Paused());

  QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
  EXPECT_TRUE(window.IsShown(window.StatisticsIfCreated()));

  // Regression: "Auto &Save" and "Colour by &Species" shared S, and Alt+O, S
  // only moved between them; species is now in "Colour &By".
  PressMnemonics(window, Qt::Key_O, {Qt::Key_B, Qt::Key_S});
  EXPECT_EQ(ColourBy::Species, world.display->colourBy.by);
  const uint8_t autoSave = world.AutoSave;
  PressMnemonics(window, Qt::Key_O, {Qt::Key_S});
  EXPECT_NE(world.AutoSave, autoSave);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// Play God's "&Find Them" and the menu bar's "&File" share Alt+F, the
// properties' "Find Most &Evolved" and "&Edit" Alt+E: the window with the
// focus takes the press, every time; elsewhere the menu opens.
TEST(ShortcutsTest, AltAndALetterPressTheButtonOfTheWindowWithTheFocus) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  ui::MainWindow& window = *t.window;
  window.ShowPlayGod();
  ui::PlayGodWindow& god = *window.PlayGodIfCreated();
  auto* findThem = god.findChild<QAbstractButton*>("Command1");
  int found = 0;
  QObject::connect(findThem, &QAbstractButton::clicked, [&found] { ++found; });
  god.List1()->setFocus();
  for (int press = 1; press <= 3; ++press) {
    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return found == press; })) << press;
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  }

  window.ShowPropertiesWindow();
  auto* mostEvolved = window.Properties().findChild<QAbstractButton*>("Command4");
  int evolved = 0;
  QObject::connect(mostEvolved, &QAbstractButton::clicked, [&evolved] { ++evolved; });
  window.Properties().List2()->setFocus();
  QTest::keyClick(&window, Qt::Key_E, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return evolved == 1; }));

  window.SubWindowOf(&god)->close();
  window.SubWindowOf(&window.Properties())->close();
  QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
  EXPECT_EQ(QApplication::activePopupWidget(), window.findChild<QMenu*>("menu_file"));
  CloseMenus();
  EXPECT_EQ(found, 3);
}

}  // namespace
}  // namespace ombrivale::testing
