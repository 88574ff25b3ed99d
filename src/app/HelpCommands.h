#pragma once

struct AppContext;
class Launcher;

// "about help": a PDF named after the program in its folder when there is one
// (where the Windows program kept its help file), otherwise the installed
// manual page wetter(1), both with the desktop's viewer (xdg-open).
void OpenHelp(AppContext& context, Launcher& launcher);
// "Remote maintenance": the command in "Fernwartung"/"Befehl" of the station
// settings, or a message that this system has none.
void StartRemoteMaintenance(AppContext& context, Launcher& launcher);
