#include "app/ProcessControlForm.h"

#include "app/ProcessControl.h"
#include "platform/Ui.h"

ProcessControlForm::ProcessControlForm(ProcessControl& control, Ui& ui, std::string caption)
    : m_control(control), m_ui(ui), m_caption(std::move(caption)) {}

std::vector<ProcessControlForm::Row> ProcessControlForm::Rows() const {
    std::vector<Row> rows;
    const ProcessList& list = m_control.List();
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const CProcess& process = list.At(i);
        rows.push_back({std::to_string(i + 1), process.ExecCondition, process.ReleaseCondition,
                        process.Program, process.Parameter});
    }
    return rows;
}

void ProcessControlForm::Select(std::optional<std::size_t> row) {
    if (row && *row >= m_control.List().Count()) row.reset();
    m_selection = row;
}

std::optional<ProcessTexts> ProcessControlForm::EditTarget() const {
    if (!m_selection || *m_selection >= m_control.List().Count()) return std::nullopt;
    return ProcessList::TextsOf(m_control.List().At(*m_selection));
}

void ProcessControlForm::AcceptNew(const ProcessTexts& texts) { m_control.AddProcess(texts); }

void ProcessControlForm::AcceptEdit(const ProcessTexts& texts) {
    if (m_selection) m_control.EditProcess(*m_selection, texts);
}

bool ProcessControlForm::Delete() {
    if (!m_selection) return false;
    const std::size_t row = *m_selection;
    m_selection.reset();
    if (m_ui.MessageBox(kDeleteQuestion, m_caption, MsgButtons::YesNo, MsgIcon::Question) !=
        MsgAnswer::Yes)
        return false;
    const std::size_t before = m_control.List().Count();
    m_control.DeleteProcess(row);
    return m_control.List().Count() < before;
}
