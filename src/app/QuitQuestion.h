#pragma once

class Profile;
class ProgramPaths;
class Ui;

// Whether the main window may close: with "Display"/"Abbruch" set in the
// station settings beside the executable, the user is asked first.
bool ConfirmQuit(Profile& profile, const ProgramPaths& paths, Ui& ui);
