#include "gui/calc/CEinheitenBearbeiten.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
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

    auto* groupName = new QLabel(FromBytes(m_group));
    QFont bold = groupName->font();
    bold.setBold(true);
    groupName->setFont(bold);

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
    ok->setDefault(true);
    connect(add, &QPushButton::clicked, this, &CEinheitenBearbeiten::NewUnit);
    connect(remove, &QPushButton::clicked, this, &CEinheitenBearbeiten::DeleteUnit);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEinheitenBearbeiten::accept);
    connect(m_list, &QListWidget::currentRowChanged, this, &CEinheitenBearbeiten::ShowConversion);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(groupName);
    layout->addWidget(unitsLabel);
    layout->addWidget(m_list, 1);
    layout->addLayout(conversion);
    layout->addWidget(buttons);

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
    const QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr || !item->isSelected()) return std::nullopt;
    return ToBytes(item->text());
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
