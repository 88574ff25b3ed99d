#pragma once

#include <memory>

#include "platform/Ui.h"

class QLabel;
class QString;
class QWidget;

// Message boxes, the caution box, the busy window and colour, file and folder
// choice as Qt dialogs over the active window.
class QtUi final : public Ui {
public:
    QtUi();
    ~QtUi() override;

    MsgAnswer MessageBox(std::string_view text, std::string_view caption,
                         MsgButtons buttons = MsgButtons::Ok,
                         MsgIcon icon = MsgIcon::None) override;
    void CautionBox(std::string_view text) override;
    void ShowBusy(std::string_view text) override;
    void HideBusy() override;
    std::optional<std::uint32_t> ChooseColour(std::uint32_t initial) override;
    std::optional<std::string> ChooseFile(std::string_view caption, std::string_view initialPath,
                                          bool forSaving) override;
    std::optional<std::string> ChooseFileOfType(std::string_view caption,
                                                std::string_view initialPath,
                                                std::string_view filter) override;
    std::optional<std::string> ChooseSaveFileOfType(std::string_view caption,
                                                    std::string_view initialPath,
                                                    std::string_view filter,
                                                    std::string_view defaultExtension) override;
    std::optional<std::string> ChooseFolder(std::string_view caption,
                                            std::string_view initialPath) override;

    // "JPEG Datei(en)|*.jpg|" as Qt writes it: "JPEG Datei(en) (*.jpg)", pairs joined by ";;".
    static QString FileFilter(std::string_view windowsFilter);

private:
    std::unique_ptr<QWidget> m_busy;
    QLabel* m_busyText = nullptr;  // a child of m_busy
};
