#pragma once

// CFunktionsHilfe ("function help") is the function assistant of the formula field.

#include <QDialog>
#include <optional>
#include <string_view>

class QLabel;
class QListWidget;
class Ui;

// "function assistent": the formula functions in alphabetical order; the
// chosen one's syntax (bold) and description. "Insert" closes with the
// function shown; double-clicking a name inserts it at once.
class CFunktionsHilfe final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "function assistent";

    CFunktionsHilfe(Ui& ui, QWidget* parent = nullptr);

    // The syntax text of the function shown, once one was chosen.
    std::optional<std::string_view> ChosenSyntax() const;

    QListWidget& Functions() const { return *m_functions; }
    QLabel& SyntaxText() const { return *m_syntax; }
    QLabel& DescriptionText() const { return *m_description; }

    // "Insert": without a function shown, a message and the assistant stays.
    void accept() override;

private:
    void ShowFunction();

    Ui& m_ui;
    std::optional<std::size_t> m_shown;  // index into the function table
    QListWidget* m_functions;
    QLabel* m_syntax;
    QLabel* m_description;
};
