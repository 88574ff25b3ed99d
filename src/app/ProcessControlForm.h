#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProcessList.h"

class ProcessControl;
class Ui;

// The rules and texts of the dialog "Process control" (CProcessControlDlg):
// the list's columns and rows, the remembered selection, and what "New",
// "Edit" and "Delete" do with a station's processes. Every change is stored
// and takes effect for process control at once.
class ProcessControlForm {
public:
    struct Column {
        std::string_view title;
        int width;  // pixels
    };
    static constexpr std::string_view kTitle = "Process control";
    static constexpr std::array<Column, 5> kColumns{{{"Nr.", 20},
                                                     {"Execution condition", 100},
                                                     {"Release condition", 100},
                                                     {"Program / file", 160},
                                                     {"Parameter", 70}}};
    static constexpr std::string_view kNewButton = "New";
    static constexpr std::string_view kEditButton = "Edit";
    static constexpr std::string_view kDeleteButton = "Delete";
    static constexpr std::string_view kOkButton = "OK";
    static constexpr std::string_view kDeleteQuestion = "Do you really want to delete?";

    using Row = std::array<std::string, kColumns.size()>;

    // `caption` titles the question.
    ProcessControlForm(ProcessControl& control, Ui& ui, std::string caption);

    // The processes numbered from 1, in the columns' order.
    std::vector<Row> Rows() const;

    // A click on a row (0 for the first); nothing forgets the selection.
    void Select(std::optional<std::size_t> row);
    const std::optional<std::size_t>& Selection() const { return m_selection; }

    // "Edit", a double click or Enter: the texts to open the dialog "Process"
    // with, or nothing without a selection.
    std::optional<ProcessTexts> EditTarget() const;
    // "Accept" in the dialog "Process" opened by "New" / by "Edit".
    void AcceptNew(const ProcessTexts& texts);
    void AcceptEdit(const ProcessTexts& texts);
    // "Delete": asks, and removes the selected process on Yes. The selection is
    // forgotten either way. True when a process was removed.
    bool Delete();

private:
    ProcessControl& m_control;
    Ui& m_ui;
    std::string m_caption;
    std::optional<std::size_t> m_selection;
};
