#include "gui/app/CProcessControlDlg.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/app/CProcessNewDlg.h"
#include "gui/ui/Text.h"

namespace {
constexpr int kMaxColumnWidth = 320;

QString Text(std::string_view text) { return FromBytes(text); }
}  // namespace

CProcessControlDlg::CProcessControlDlg(ProcessControl& control, const StationView& station, Ui& ui,
                                       Launcher* launcher, std::string caption, QWidget* parent)
    : QDialog(parent),
      m_form(control, ui, caption),
      m_station(station),
      m_ui(ui),
      m_launcher(launcher),
      m_caption(std::move(caption)),
      m_list(new QTableWidget(0, static_cast<int>(ProcessControlForm::kColumns.size()))),
      m_new(new QPushButton(Text(ProcessControlForm::kNewButton))),
      m_edit(new QPushButton(Text(ProcessControlForm::kEditButton))),
      m_delete(new QPushButton(Text(ProcessControlForm::kDeleteButton))),
      m_ok(new QPushButton(Text(ProcessControlForm::kOkButton))) {
    setWindowTitle(Text(ProcessControlForm::kTitle));
    runProcessDialog = [](CProcessNewDlg& dialog) { return dialog.exec() == QDialog::Accepted; };

    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->setAlternatingRowColors(true);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 8);
    QHeaderView* header = m_list->horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    QStringList titles;
    int tableWidth = 0;
    for (std::size_t i = 0; i < ProcessControlForm::kColumns.size(); ++i) {
        const auto& column = ProcessControlForm::kColumns[i];
        titles << Text(column.title);
        // The pixel widths of the column table, widened where a title would be cut.
        m_minimumWidths[i] =
            std::max(column.width, header->fontMetrics().horizontalAdvance(titles.back()) + 24);
        tableWidth += m_minimumWidths[i];
    }
    m_list->setHorizontalHeaderLabels(titles);
    m_list->setMinimumSize(tableWidth + 4, 180);
    m_list->installEventFilter(this);

    m_ok->setDefault(true);
    for (QPushButton* button : {m_new, m_edit, m_delete}) button->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_new);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    buttons->addWidget(m_ok);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_list, &QTableWidget::itemSelectionChanged, this,
            &CProcessControlDlg::SelectionChanged);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &CProcessControlDlg::EditProcess);
    connect(m_new, &QPushButton::clicked, this, &CProcessControlDlg::NewProcess);
    connect(m_edit, &QPushButton::clicked, this, &CProcessControlDlg::EditProcess);
    connect(m_delete, &QPushButton::clicked, this, &CProcessControlDlg::DeleteProcess);
    connect(m_ok, &QPushButton::clicked, this, &CProcessControlDlg::accept);

    Refill();
    // Wide enough for the columns as filled, if the screen allows.
    int columns = 2 * m_list->frameWidth();
    for (int c = 0; c < m_list->columnCount(); ++c) columns += m_list->columnWidth(c);
    const QMargins margins = layout->contentsMargins();
    const int besides = margins.left() + margins.right() + layout->spacing() +
                        std::max(m_new->sizeHint().width(), m_delete->sizeHint().width());
    resize(std::clamp(columns + besides, 640, 1000), 320);
}

void CProcessControlDlg::Refill() {
    const std::optional<std::size_t> selection = m_form.Selection();
    const QSignalBlocker block(m_list);
    const std::vector<ProcessControlForm::Row> rows = m_form.Rows();
    m_list->clearSelection();
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            // Program and parameters are paths and arguments; the rest are station bytes.
            const bool path = c >= 3;
            auto* item = new QTableWidgetItem(path ? FromPath(rows[r][c]) : Text(rows[r][c]));
            item->setToolTip(item->text());
            if (c == 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_list->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    // Long paths get the room they need, within reason; the tooltip holds the rest.
    for (int c = 0; c < m_list->columnCount(); ++c) {
        const int minimum = m_minimumWidths[static_cast<std::size_t>(c)];
        int width = minimum;
        for (int r = 0; r < m_list->rowCount(); ++r)
            width = std::max(
                width, m_list->fontMetrics().horizontalAdvance(m_list->item(r, c)->text()) + 16);
        m_list->setColumnWidth(c, std::min(width, std::max(minimum, kMaxColumnWidth)));
    }
    if (selection) m_list->selectRow(static_cast<int>(*selection));
    m_edit->setEnabled(selection.has_value());
    m_delete->setEnabled(selection.has_value());
}

void CProcessControlDlg::SelectionChanged() {
    // What the list shows selected is what Edit and Delete act on.
    const QList<QTableWidgetSelectionRange> ranges = m_list->selectedRanges();
    if (ranges.isEmpty())
        m_form.Select(std::nullopt);
    else
        m_form.Select(static_cast<std::size_t>(ranges.front().topRow()));
    m_edit->setEnabled(m_form.Selection().has_value());
    m_delete->setEnabled(m_form.Selection().has_value());
}

void CProcessControlDlg::NewProcess() {
    CProcessNewDlg dialog(m_station, m_ui, m_launcher, m_caption, {}, this);
    if (!runProcessDialog(dialog)) return;
    m_form.AcceptNew(dialog.Texts());
    Refill();
}

void CProcessControlDlg::EditProcess() {
    const std::optional<ProcessTexts> target = m_form.EditTarget();
    if (!target) return;
    CProcessNewDlg dialog(m_station, m_ui, m_launcher, m_caption, *target, this);
    if (!runProcessDialog(dialog)) return;
    m_form.AcceptEdit(dialog.Texts());
    Refill();
}

void CProcessControlDlg::DeleteProcess() {
    m_form.Delete();
    Refill();
}

bool CProcessControlDlg::eventFilter(QObject* watched, QEvent* event) {
    // Enter on the list edits the selected process instead of closing the dialog.
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EditProcess();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
