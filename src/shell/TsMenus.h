// The main window's menu bar: captions, shortcut keys, help contexts, hints and separators, and
// the rules that enable its commands.
#pragma once

#include <QString>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMenuBar;
class QObject;

struct TMenuItemDef {
  const char* name;     // object name of the action (`FileNewCmd`); menus end in "Menu"
  const char* parent;   // name of the menu or submenu holding it; empty for a top-level menu
  const char* caption;
  const char* keys;     // portable key sequence text; empty when none
  int helpContext;      // 0 when none
  const char* hint;
  bool separatorAfter;
};

const std::vector<TMenuItemDef>& MenuItemDefs();

// Builds the menus into the bar; every command's action by name.
std::map<std::string, QAction*> BuildMenuBar(QMenuBar* bar);

// What the enabling rules look at.
struct TMenuState {
  bool projectOpen = false;
  bool writable = false;
  int recordCount = 0;
  bool singleState = false;
};

// Whether a command is enabled; commands the rules do not name are always enabled.
bool MenuCommandEnabled(const std::string& name, const TMenuState& state);

// Commands and page buttons whose work is not built yet, by object name (the list in TsMenus.cpp).
// Each stays disabled, whatever the rules above say, with the tooltip and hint "Not yet
// available", so that no click goes nowhere. The work that builds one connects it and removes
// its name from the list; nothing else needs to change.
bool NotYetAvailable(const std::string& name);
const std::vector<std::string>& NotYetAvailableNames();
extern const char* const kNotYetAvailableHint;
// Gives an action or widget of the list the tooltip and hint and disables it.
void MarkNotYetAvailable(QObject* actionOrWidget);
