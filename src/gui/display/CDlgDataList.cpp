#include "gui/display/CDlgDataList.h"

#include <QHeaderView>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "gui/ui/Text.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"

CDlgDataList::CDlgDataList(Ui& ui, std::string caption, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_ui(ui),
      m_caption(std::move(caption)),
      m_list(std::span<const DataListWindow>()),
      m_table(new QTableWidget(this)) {
    setWindowTitle("View list");
    m_table->setShowGrid(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    // List rows as compact as a list's, not as tall as editable cells.
    const int rowHeight = m_table->fontMetrics().height() + 6;
    m_table->verticalHeader()->setMinimumSectionSize(rowHeight);
    m_table->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_table->horizontalHeader()->setDefaultSectionSize(DataList::kColumnWidth);
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);

    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu("&Save");
    QAction* save = file->addAction("Save &as...");
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, [this] { Save(); });
    QAction* print = file->addAction("&Print...");
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, &CDlgDataList::PrintWithDialog);
    file->addSeparator();
    QAction* exit = file->addAction("Exit");
    exit->setShortcut(QKeySequence::Close);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    // Shortcuts work while the table has the focus.
    addActions({save, print, exit});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_table);
    resize(2 * DataList::kColumnWidth + 4 * DataList::kColumnWidth + 24, 420);
}

CDlgDataList::~CDlgDataList() = default;

void CDlgDataList::Fill(std::span<const DataListWindow> windows) {
    m_list = DataList(windows);
    m_table->clear();
    m_table->setColumnCount(static_cast<int>(m_list.ColumnCount()));
    m_table->setRowCount(static_cast<int>(m_list.RowCount()));
    QStringList headers;
    for (const std::string& header : m_list.Headers()) headers << FromBytes(header);
    m_table->setHorizontalHeaderLabels(headers);
    for (std::size_t row = 0; row < m_list.RowCount(); ++row) {
        for (std::size_t column = 0; column < m_list.ColumnCount(); ++column) {
            auto* item = new QTableWidgetItem(FromBytes(m_list.Cell(row, column)));
            item->setTextAlignment(Qt::AlignCenter);
            m_table->setItem(static_cast<int>(row), static_cast<int>(column), item);
        }
    }
    for (int column = 0; column < m_table->columnCount(); ++column)
        m_table->setColumnWidth(column, DataList::kColumnWidth);
}

bool CDlgDataList::Save() {
    const std::string initial = m_saveFolder.empty()
                                    ? std::string(DataList::kDefaultFileName)
                                    : m_saveFolder + "/" + std::string(DataList::kDefaultFileName);
    const std::optional<std::string> path =
        m_ui.ChooseSaveFileOfType("Save", initial, DataList::kFileFilter, "csv");
    if (!path) return false;
    return SaveTo(*path);
}

bool CDlgDataList::SaveTo(const std::string& path) {
    const FileSystem::Result result = m_list.Save(path);
    if (result) return true;
    m_ui.MessageBox(path + "\n\n" + FileSystem::SystemErrorText(result.error), m_caption,
                    MsgButtons::Ok, MsgIcon::Error);
    return false;
}

bool CDlgDataList::Print(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_ui.MessageBox("The list could not be printed: the printer did not start.", m_caption,
                        MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    QFont font("Arial");
    font.setPointSizeF(9);
    painter.setFont(font);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics metrics = painter.fontMetrics();
    const int padding = metrics.averageCharWidth() * 2;

    // Each column as wide as its widest text.
    const std::size_t columns = m_list.ColumnCount();
    std::vector<int> widths(columns, 0);
    for (std::size_t column = 0; column < columns; ++column) {
        widths[column] = QFontMetrics(bold, painter.device())
                             .horizontalAdvance(FromBytes(m_list.Headers()[column]));
        for (std::size_t row = 0; row < m_list.RowCount(); ++row)
            widths[column] = std::max(
                widths[column], metrics.horizontalAdvance(FromBytes(m_list.Cell(row, column))));
        widths[column] += padding;
    }
    int total = 0;
    for (int width : widths) total += width;
    const QRect page = painter.viewport();
    // A table wider than the page is printed smaller rather than cut.
    const double scale = total > page.width() ? double(page.width()) / total : 1.0;
    painter.scale(scale, scale);
    const int pageHeight = static_cast<int>(page.height() / scale);
    const int lineHeight = metrics.height() * 5 / 4;
    const int rowsPerPage = std::max(1, pageHeight / lineHeight - 2);

    auto drawLine = [&](int y, auto textOf) {
        int x = 0;
        for (std::size_t column = 0; column < columns; ++column) {
            painter.drawText(QRect(x, y, widths[column], lineHeight), Qt::AlignCenter,
                             textOf(column));
            x += widths[column];
        }
    };
    std::size_t row = 0;
    do {
        painter.setFont(bold);
        drawLine(0, [&](std::size_t column) { return FromBytes(m_list.Headers()[column]); });
        painter.drawLine(0, lineHeight, total, lineHeight);
        painter.setFont(font);
        int y = lineHeight + lineHeight / 4;
        for (int line = 0; line < rowsPerPage && row < m_list.RowCount(); ++line, ++row) {
            drawLine(y, [&](std::size_t column) { return FromBytes(m_list.Cell(row, column)); });
            y += lineHeight;
        }
        if (row < m_list.RowCount()) printer.newPage();
    } while (row < m_list.RowCount());
    return painter.end();
}

void CDlgDataList::PrintWithDialog() {
    QPrinter printer(QPrinter::ScreenResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) Print(printer);
}
