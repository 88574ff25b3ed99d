#pragma once

struct AppContext;
class CMainFrame;
class QMenu;

// The main window's station-link commands: "Terminal" in `view` (the dock
// window, made once and shown again), "Port forwarding" in `setup`.
void AddTerminalCommands(CMainFrame& frame, AppContext& context, QMenu& setup, QMenu& view);
