#include "gui/calc/COrbset.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/CWetterDoc.h"
#include "gui/ui/ColourValue.h"
#include "gui/ui/Text.h"
#include "model/CSensoren.h"

namespace {

QString Text(std::string_view text) { return FromBytes(text); }

QGroupBox* WhiteGroup(std::string_view title) {
    auto* group = new QGroupBox(Text(title));
    group->setStyleSheet(QStringLiteral(
        "QGroupBox { background: white; border: 1px solid black; margin-top: 2ex; padding: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"));
    return group;
}

}  // namespace

COrbset::COrbset(CWetterDoc& document, Ui& ui, std::string caption, QWidget* parent)
    : QDialog(parent),
      m_document(document),
      m_form(document, ui, caption),
      m_ui(ui),
      m_caption(std::move(caption)),
      m_stationList(NewList()),
      m_virtualList(NewList()),
      m_edit(new QPushButton(Text(OrbsetForm::kEditButton))),
      m_define(new QPushButton(Text(OrbsetForm::kDefineButton))),
      m_editVirtual(new QPushButton(Text(OrbsetForm::kEditVirtualButton))),
      m_delete(new QPushButton(Text(OrbsetForm::kDeleteVirtualButton))),
      m_ok(new QPushButton(Text(OrbsetForm::kOkButton))),
      m_colourField(new QLabel) {
    setWindowTitle(Text(OrbsetForm::kTitle));
    runSensorDialog = [](CNewORB& dialog) { return dialog.exec() == QDialog::Accepted; };

    QGroupBox* station = WhiteGroup(OrbsetForm::kStationGroup);
    auto* stationRow = new QHBoxLayout(station);
    stationRow->addWidget(m_stationList, 1);
    auto* stationButtons = new QVBoxLayout;
    stationButtons->addWidget(m_edit);
    stationButtons->addStretch();
    stationRow->addLayout(stationButtons);

    QGroupBox* virtuals = WhiteGroup(OrbsetForm::kVirtualGroup);
    auto* virtualRow = new QHBoxLayout(virtuals);
    virtualRow->addWidget(m_virtualList, 1);
    auto* virtualButtons = new QVBoxLayout;
    virtualButtons->addWidget(m_define);
    virtualButtons->addWidget(m_editVirtual);
    virtualButtons->addWidget(m_delete);
    virtualButtons->addStretch();
    virtualRow->addLayout(virtualButtons);

    m_colourField->setFixedSize(60, m_ok->sizeHint().height());
    m_colourField->setFrameShape(QFrame::Box);
    m_colourField->setAutoFillBackground(true);
    m_colourField->setToolTip(QStringLiteral("Color of the selected sensor"));

    for (QPushButton* button : {m_edit, m_define, m_editVirtual, m_delete})
        button->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_colourField);
    bottom->addStretch();
    bottom->addWidget(m_ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(station, 3);
    layout->addWidget(virtuals, 2);
    layout->addLayout(bottom);
    // Only a button inside the dialog becomes its default.
    m_ok->setDefault(true);

    connect(m_stationList, &QTableWidget::itemSelectionChanged, this,
            [this] { SelectionChanged(OrbsetForm::List::kStation); });
    connect(m_virtualList, &QTableWidget::itemSelectionChanged, this,
            [this] { SelectionChanged(OrbsetForm::List::kVirtual); });
    connect(m_stationList, &QTableWidget::cellDoubleClicked, this, &COrbset::EditStationSensor);
    connect(m_virtualList, &QTableWidget::cellDoubleClicked, this, &COrbset::EditVirtualSensor);
    connect(m_edit, &QPushButton::clicked, this, &COrbset::EditStationSensor);
    connect(m_define, &QPushButton::clicked, this, &COrbset::DefineVirtualSensor);
    connect(m_editVirtual, &QPushButton::clicked, this, &COrbset::EditVirtualSensor);
    connect(m_delete, &QPushButton::clicked, this, &COrbset::DeleteVirtualSensor);
    connect(m_ok, &QPushButton::clicked, this, &COrbset::accept);

    RefillStation();
    RefillVirtual();
    UpdateButtons();
    ShowColour();
}

QTableWidget* COrbset::NewList() {
    auto* list = new QTableWidget(0, static_cast<int>(OrbsetForm::kColumns.size()));
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setShowGrid(true);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 8);
    QHeaderView* header = list->horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    QStringList titles;
    int width = 0;
    for (std::size_t c = 0; c < OrbsetForm::kColumns.size(); ++c) {
        const auto& column = OrbsetForm::kColumns[c];
        titles << Text(column.title);
        // The columns' pixel widths, widened where a title would be cut.
        const int columnWidth =
            std::max(column.width, header->fontMetrics().horizontalAdvance(titles.back()) + 24);
        list->setColumnWidth(static_cast<int>(c), columnWidth);
        width += columnWidth;
    }
    list->setHorizontalHeaderLabels(titles);
    list->setMinimumSize(width + 2 * list->frameWidth() + 2, 4 * list->fontMetrics().height() + 40);
    list->installEventFilter(this);
    return list;
}

void COrbset::Fill(QTableWidget& list, const std::vector<OrbsetForm::Row>& rows,
                   const std::optional<std::string>& selection) {
    const QSignalBlocker block(&list);
    list.clearSelection();
    list.setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string* texts[] = {&rows[r].identifier, &rows[r].name, &rows[r].unit};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(Text(*texts[c]));
            item->setToolTip(item->text());
            list.setItem(static_cast<int>(r), c, item);
        }
        if (selection && rows[r].identifier == *selection) list.selectRow(static_cast<int>(r));
    }
}

void COrbset::RefillStation() {
    Fill(*m_stationList, m_form.StationRows(), m_form.Selection(OrbsetForm::List::kStation));
}

void COrbset::RefillVirtual() {
    Fill(*m_virtualList, m_form.VirtualRows(), m_form.Selection(OrbsetForm::List::kVirtual));
}

void COrbset::SelectionChanged(OrbsetForm::List list) {
    QTableWidget& table = list == OrbsetForm::List::kStation ? *m_stationList : *m_virtualList;
    const QList<QTableWidgetSelectionRange> ranges = table.selectedRanges();
    std::optional<std::string> identifier;
    if (!ranges.isEmpty()) identifier = ToBytes(table.item(ranges.front().topRow(), 0)->text());
    m_form.Select(list, std::move(identifier));
    UpdateButtons();
    ShowColour();
}

void COrbset::UpdateButtons() {
    m_edit->setEnabled(m_form.Selection(OrbsetForm::List::kStation).has_value());
    const bool virtualSelected = m_form.Selection(OrbsetForm::List::kVirtual).has_value();
    m_define->setEnabled(static_cast<bool>(m_defineVirtual));
    m_editVirtual->setEnabled(static_cast<bool>(m_editVirtualHook) && virtualSelected);
    m_delete->setEnabled(virtualSelected);
}

void COrbset::ShowColour() {
    const std::optional<std::uint32_t> colour = m_form.SelectedColour();
    QPalette palette = m_colourField->palette();
    palette.setColor(QPalette::Window,
                     colour ? ToQColor(*colour) : palette.color(QPalette::Button));
    m_colourField->setPalette(palette);
}

void COrbset::SetVirtualSensorHooks(VirtualSensorHook define, VirtualSensorHook edit) {
    m_defineVirtual = std::move(define);
    m_editVirtualHook = std::move(edit);
    UpdateButtons();
}

void COrbset::EditStationSensor() {
    const std::optional<StationSensorInput> target = m_form.EditTarget();
    if (!target) return;
    const CSensoren* sensor = m_document.FindSensor(target->identifier);
    CNewORB dialog(m_form, *target, sensor ? sensor->m_windRose : WindRoseSettings{}, m_chooseUnit,
                   m_editWindRose, m_ui, m_caption, this);
    if (!runSensorDialog(dialog)) return;
    RefillStation();
    ShowColour();
}

void COrbset::DefineVirtualSensor() {
    if (!m_defineVirtual || !m_defineVirtual(this, std::string())) return;
    RefillVirtual();
}

void COrbset::EditVirtualSensor() {
    const std::optional<std::string>& identifier = m_form.Selection(OrbsetForm::List::kVirtual);
    if (!m_editVirtualHook || !identifier) return;
    if (!m_editVirtualHook(this, *identifier)) return;
    RefillVirtual();
    ShowColour();
}

void COrbset::DeleteVirtualSensor() {
    m_form.DeleteVirtualSensor();
    RefillVirtual();
    UpdateButtons();
    ShowColour();
}

void COrbset::EditLastUsed() {
    if (m_form.LastUsed() == OrbsetForm::List::kVirtual)
        EditVirtualSensor();
    else
        EditStationSensor();
}

bool COrbset::eventFilter(QObject* watched, QEvent* event) {
    // Enter on a list edits its selected sensor instead of closing the dialog.
    if ((watched == m_stationList || watched == m_virtualList) &&
        event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EditLastUsed();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void COrbset::keyPressEvent(QKeyEvent* event) {
    // Enter anywhere but on a button edits too; "OK" closes.
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        !qobject_cast<QPushButton*>(focusWidget())) {
        EditLastUsed();
        return;
    }
    QDialog::keyPressEvent(event);
}
