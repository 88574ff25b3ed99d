#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };
enum class MsgIcon { None, Information, Warning, Error, Question };

// What the program asks of a person: message boxes, the caution box, the busy
// window, colour and file choice. Texts are Windows-1252 bytes. Only the
// user-interface thread may call these; worker threads post to it first.
class Ui {
public:
    virtual ~Ui() = default;
    // A modal message box; returns the button chosen.
    virtual MsgAnswer MessageBox(std::string_view text, std::string_view caption,
                                 MsgButtons buttons = MsgButtons::Ok,
                                 MsgIcon icon = MsgIcon::None) = 0;
    // The caution box: a modal window with the text and an OK button.
    virtual void CautionBox(std::string_view text) = 0;
    // The busy window with a text, until HideBusy.
    virtual void ShowBusy(std::string_view text) = 0;
    virtual void HideBusy() = 0;
    // A colour (Windows value, red in the low byte) or nothing when cancelled.
    virtual std::optional<std::uint32_t> ChooseColour(std::uint32_t initial) = 0;
    // A file to open or save, or nothing when cancelled.
    virtual std::optional<std::string> ChooseFile(std::string_view caption,
                                                  std::string_view initialPath, bool forSaving) = 0;
    // A file to open of the types `filter` names, written the Windows way
    // ("JPEG Datei(en)|*.jpg|": description and pattern pairs, each ended by
    // '|'), or nothing when cancelled. Without an override any file may be chosen.
    virtual std::optional<std::string> ChooseFileOfType(std::string_view caption,
                                                        std::string_view initialPath,
                                                        std::string_view filter) {
        (void)filter;
        return ChooseFile(caption, initialPath, false);
    }
    // A file to save of the types `filter` names (as ChooseFileOfType); a name
    // typed without an extension gets the chosen type's, else `defaultExtension`.
    // Replacing an existing file is confirmed first. Nothing when cancelled.
    // Without an override any name may be chosen.
    virtual std::optional<std::string> ChooseSaveFileOfType(std::string_view caption,
                                                            std::string_view initialPath,
                                                            std::string_view filter,
                                                            std::string_view defaultExtension) {
        (void)filter;
        (void)defaultExtension;
        return ChooseFile(caption, initialPath, true);
    }
    // A folder, or nothing when cancelled.
    virtual std::optional<std::string> ChooseFolder(std::string_view caption,
                                                    std::string_view initialPath) = 0;
};
