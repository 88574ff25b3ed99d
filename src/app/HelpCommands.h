#pragma once

struct AppContext;
class Launcher;

// "about help": the program's manual beside the executable, with the desktop's viewer.
void OpenHelp(AppContext& context, Launcher& launcher);
// "Remote maintenance": the remote-support program beside the executable.
void StartRemoteMaintenance(AppContext& context, Launcher& launcher);
