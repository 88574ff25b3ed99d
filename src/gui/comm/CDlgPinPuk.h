#pragma once

// CDlgPinPuk asks for the code a locked SIM card wants.

#include <QDialog>
#include <optional>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;

// "PIN / PUK ": the prompt, a hidden entry and "OK".
class CDlgPinPuk final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "PIN / PUK ";

    explicit CDlgPinPuk(std::string_view prompt, QWidget* parent = nullptr);

    // Shows the dialog modally; the entry, or nothing when it was closed without "OK".
    static std::optional<std::string> Ask(std::string_view prompt, QWidget* parent = nullptr);

    std::string Entry() const;
    QLineEdit& EntryField() const { return *m_entry; }

private:
    QLabel* m_prompt;
    QLineEdit* m_entry;
};
