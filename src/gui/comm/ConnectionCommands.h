#pragma once

// The menu command of the connection windows.

class CMainFrame;
class CWetterDoc;
class QMenu;
class QWidget;

// Adds "&Connection..." to the Setup menu: the connection dialog of the active station.
void AddConnectionCommands(QMenu& setup, CMainFrame& frame);

// "&Connection..." for `document`: the dialog over this machine's serial ports,
// then the document's reload and connect rules.
void ShowConnectionSettings(CWetterDoc& document, QWidget* parent);
