#include "gui/calc/CEinheitenBearbeiten.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "calc/UnitFile.h"
#include "gui/calc/CEinheitEinfuegen.h"
#include "gui/ui/Text.h"
#include "platform/Ui.h"

CEinheitenBearbeiten::CEinheitenBearbeiten(UnitFile& units, std::string group,
                                           const std::string& selectedUnit, Ui& ui,
                                           std::string caption, QWidget* parent)
    : QDialog(parent),
      m_units(units),
      m_group(std::move(group)),
      m_ui(ui),
      m_caption(std::move(caption)) {
    setWindowTitle(QString::fromLatin1(kTitle));

    m_groupName = new QLabel(FromBytes(m_group));
    QFont bold = m_groupName->font();
    bold.setBold(true);
    m_groupName->setFont(bold);
    m_newGroup = new QLineEdit;
    m_newGroup->setMaxLength(static_cast<int>(UnitFile::kMaxGroupName));
    m_newGroup->setPlaceholderText(QStringLiteral("name of a new group"));
    auto* addGroup = new QPushButton(QStringLiteral("New &group"));
    addGroup->setAutoDefault(false);
    m_newGroup->setMinimumWidth(
        m_newGroup->fontMetrics().horizontalAdvance(m_newGroup->placeholderText()) + 16);
    auto* groupRow = new QHBoxLayout;
    groupRow->addWidget(m_newGroup, 1);
    groupRow->addWidget(addGroup);

    m_list = new QListWidget;
    m_list->setSortingEnabled(true);
    auto* unitsLabel = new QLabel(QStringLiteral("&Units"));
    unitsLabel->setBuddy(m_list);
    m_factor = new QLabel;
    m_offset = new QLabel;
    for (QLabel* text : {m_factor, m_offset}) {
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setMinimumWidth(text->fontMetrics().horizontalAdvance(QStringLiteral("-0000.000000")));
    }
    auto* conversion = new QFormLayout;
    conversion->addRow(QStringLiteral("Factor:"), m_factor);
    conversion->addRow(QStringLiteral("Offset:"), m_offset);

    auto* buttons = new QDialogButtonBox;
    QPushButton* add = buttons->addButton(QStringLiteral("&New"), QDialogButtonBox::ActionRole);
    QPushButton* remove = buttons->addButton(QStringLiteral("&Delete"), QDialogButtonBox::ActionRole);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    connect(add, &QPushButton::clicked, this, &CEinheitenBearbeiten::NewUnit);
    connect(remove, &QPushButton::clicked, this, &CEinheitenBearbeiten::DeleteUnit);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEinheitenBearbeiten::accept);
    connect(addGroup, &QPushButton::clicked, this, &CEinheitenBearbeiten::NewGroup);
    // A mouse press makes an item current before it selects it: follow the selection.
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            &CEinheitenBearbeiten::ShowConversion);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_groupName);
    layout->addWidget(unitsLabel);
    layout->addWidget(m_list, 1);
    layout->addLayout(conversion);
    layout->addLayout(groupRow);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    ok->setDefault(true);

    Refill(selectedUnit);
    m_list->setFocus();
}

void CEinheitenBearbeiten::Refill(const std::string& select) {
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const std::string& unit : m_units.Units(m_group)) m_list->addItem(FromBytes(unit));
    const QList<QListWidgetItem*> found =
        m_list->findItems(FromBytes(select), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!found.isEmpty()) m_list->setCurrentItem(found.front());
    ShowConversion();
}

void CEinheitenBearbeiten::ShowConversion() {
    m_factor->clear();
    m_offset->clear();
    const std::optional<std::string> unit = SelectedUnit();
    if (!unit) return;
    const UnitFile::Conversion conversion = m_units.ReadConversion(m_group, *unit);
    m_factor->setText(FromBytes(conversion.factor));
    m_offset->setText(FromBytes(conversion.offset));
}

std::optional<std::string> CEinheitenBearbeiten::SelectedUnit() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return ToBytes(selected.front()->text());
}

void CEinheitenBearbeiten::NewUnit() {
    CEinheitEinfuegen insert(m_units.Units(m_group), m_ui, m_caption, this);
    if (insert.exec() != QDialog::Accepted) return;
    const UnitFile::AddResult added = m_units.AddUnit(
        m_group, insert.UnitName(), insert.Conversion().factor, insert.Conversion().offset);
    if (added.status != UnitFile::AddStatus::Ok) {
        m_ui.MessageBox(added.message, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    Refill(insert.UnitName());
}

void CEinheitenBearbeiten::DeleteUnit() {
    const std::optional<std::string> unit = SelectedUnit();
    if (!unit) return;
    if (!m_units.DeleteUnit(m_group, *unit)) {
        m_ui.MessageBox("Can't write the unit file!", m_caption, MsgButtons::Ok, MsgIcon::Warning);
    }
    Refill({});
}

void CEinheitenBearbeiten::NewGroup() {
    const std::string name = ToBytes(m_newGroup->text().trimmed());
    if (const std::optional<std::string> message = m_units.AddGroup(name)) {
        m_ui.MessageBox(*message, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        m_newGroup->setFocus();
        return;
    }
    m_group = name;
    m_groupName->setText(FromBytes(m_group));
    m_newGroup->clear();
    Refill({});
}
