#include "gui/calc/CEinheiten.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "gui/calc/CEinheitenBearbeiten.h"
#include "gui/ui/Text.h"
#include "platform/ProgramPaths.h"
#include "platform/Ui.h"

namespace {

void SelectExactly(QListWidget& list, const std::string& text) {
    const QList<QListWidgetItem*> found =
        list.findItems(FromBytes(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!found.isEmpty()) list.setCurrentItem(found.front());
}

}  // namespace

CEinheiten::CEinheiten(UnitFile& units, const std::string& group, const std::string& unit, Ui& ui,
                       std::string caption, QWidget* parent)
    : QDialog(parent), m_units(units), m_ui(ui), m_caption(std::move(caption)) {
    setWindowTitle(QString::fromLatin1(kTitle));

    m_groups = new QListWidget;
    m_groups->setSortingEnabled(true);
    m_unitList = new QListWidget;
    m_unitList->setSortingEnabled(true);
    auto* groupLabel = new QLabel(QStringLiteral("Unit's &group"));
    groupLabel->setBuddy(m_groups);
    auto* unitLabel = new QLabel(QStringLiteral("&Units"));
    unitLabel->setBuddy(m_unitList);
    m_factor = new QLabel;
    m_offset = new QLabel;
    for (QLabel* text : {m_factor, m_offset}) {
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setMinimumWidth(text->fontMetrics().horizontalAdvance(QStringLiteral("-0000.000000")));
    }
    auto* conversion = new QFormLayout;
    conversion->addRow(QStringLiteral("Factor:"), m_factor);
    conversion->addRow(QStringLiteral("Offset:"), m_offset);

    auto* lists = new QGridLayout;
    lists->addWidget(groupLabel, 0, 0);
    lists->addWidget(unitLabel, 0, 1);
    lists->addWidget(m_groups, 1, 0);
    lists->addWidget(m_unitList, 1, 1);
    lists->addLayout(conversion, 2, 1);

    auto* buttons = new QDialogButtonBox;
    QPushButton* edit = buttons->addButton(QStringLiteral("&Edit unit"), QDialogButtonBox::ActionRole);
    QPushButton* acceptButton =
        buttons->addButton(QStringLiteral("&Accept"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(edit, &QPushButton::clicked, this, &CEinheiten::EditUnits);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEinheiten::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEinheiten::reject);
    // A mouse press makes an item current before it selects it: follow the selection.
    connect(m_groups, &QListWidget::itemSelectionChanged, this, [this] { FillUnits({}); });
    connect(m_unitList, &QListWidget::itemSelectionChanged, this, &CEinheiten::ShowConversion);
    connect(m_unitList, &QListWidget::itemDoubleClicked, this, &CEinheiten::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    acceptButton->setDefault(true);

    FillGroups(group);
    FillUnits(unit);
    m_groups->setFocus();
}

void CEinheiten::FillGroups(const std::string& select) {
    const QSignalBlocker quiet(m_groups);
    m_groups->clear();
    for (const std::string& name : m_units.Groups()) m_groups->addItem(FromBytes(name));
    SelectExactly(*m_groups, select);
}

void CEinheiten::FillUnits(const std::string& select) {
    {
        const QSignalBlocker quiet(m_unitList);
        m_unitList->clear();
        if (const std::optional<std::string> group = Selected(*m_groups)) {
            for (const std::string& name : m_units.UnitChoices(*group))
                m_unitList->addItem(FromBytes(name));
            SelectExactly(*m_unitList, select);
        }
    }
    ShowConversion();
}

void CEinheiten::ShowConversion() {
    m_conversion = {};
    const std::optional<std::string> group = Selected(*m_groups);
    const std::optional<std::string> unit = Selected(*m_unitList);
    if (group && unit) m_conversion = m_units.ReadConversion(*group, *unit);
    m_factor->setText(FromBytes(m_conversion.factor));
    m_offset->setText(FromBytes(m_conversion.offset));
}

std::optional<std::string> CEinheiten::Selected(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return ToBytes(selected.front()->text());
}

void CEinheiten::EditUnits() {
    const std::optional<std::string> group = Selected(*m_groups);
    if (const std::optional<std::string> message = UnitFile::CheckEditUnit(group)) {
        m_ui.MessageBox(*message, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    const std::optional<std::string> unit = Selected(*m_unitList);
    CEinheitenBearbeiten edit(m_units, *group, unit.value_or(std::string()), m_ui, m_caption, this);
    edit.exec();
    // A unit deleted there must not be accepted here with its old factor; a
    // group made there is the one to choose from.
    FillGroups(edit.Group());
    FillUnits(edit.Group() == *group ? unit.value_or(std::string()) : std::string());
}

void CEinheiten::accept() {
    m_choice = UnitFile::Accept(Selected(*m_groups), Selected(*m_unitList), m_conversion);
    if (!m_choice) return;
    QDialog::accept();
}

std::optional<UnitFile::UnitChoice> ChooseUnit(Profile& profile, const ProgramPaths& paths,
                                               const std::string& group, const std::string& unit,
                                               Ui& ui, const std::string& caption,
                                               QWidget* parent) {
    UnitFile units(profile, paths.Named("unit.ini"));
    CEinheiten dialog(units, group, unit, ui, caption, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}
