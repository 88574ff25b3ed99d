#pragma once

#include <string_view>

class Ui;

// The caution box: the text in a modal window, and as a line of the output window.
void ShowWarning(Ui& ui, std::string_view text);
