#include "gui/calc/CSensorDefineDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <utility>

#include "app/CWetterDoc.h"
#include "app/VirtualSensorDefinition.h"
#include "calc/FormulaCheck.h"
#include "gui/calc/CFunktionsHilfe.h"
#include "gui/ui/ColourValue.h"
#include "gui/ui/Text.h"
#include "model/CSensoren.h"
#include "platform/FileSystem.h"
#include "platform/ProgramPaths.h"
#include "platform/Ui.h"

namespace {

constexpr int kMaxScaleText = 11;
constexpr int kMaxThresholdText = 19;
constexpr int kMaxDecimals = 10;

QLineEdit* NewField(int maxLength) {
    auto* field = new QLineEdit;
    field->setMaxLength(maxLength);
    return field;
}

// Identifier and formula are upper case: names in formulas are compared exactly.
void KeepUpperCase(QLineEdit* field) {
    QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int caret = field->cursorPosition();
        field->setText(upper);
        field->setCursorPosition(caret);
    });
}

QRadioButton* AddMode(QButtonGroup* group, const char* text, int id) {
    auto* button = new QRadioButton(QString::fromLatin1(text));
    group->addButton(button, id);
    return button;
}

void CheckMode(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) button->setChecked(true);
}

}  // namespace

CSensorDefineDlg::CSensorDefineDlg(VirtualSensorDefinition& definition, const CSensoren* sensor,
                                   Ui& ui, std::string caption, QWidget* parent)
    : QDialog(parent),
      m_definition(definition),
      m_isNew(sensor == nullptr),
      m_ui(ui),
      m_caption(std::move(caption)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    BuildFields();
    if (sensor != nullptr) {
        // Shown and stored whole: a cut identifier would be stored as another sensor.
        m_identifier->setMaxLength(static_cast<int>(CSensorDefine::kMaxListedIdentifier));
        Fill(CSensorDefine::InputFrom(*sensor));
        m_windRose = sensor->m_windRose;
        m_azimuth->setChecked(sensor->m_windRose.enabled);
        m_identifier->setEnabled(false);
        m_name->setFocus();
    } else {
        VirtualSensorInput fresh;
        fresh.decimals = 2;
        Fill(fresh);
        m_identifier->setFocus();
    }
    UpdateDependents();
}

void CSensorDefineDlg::BuildFields() {
    m_identifier = NewField(static_cast<int>(CSensorDefine::kMaxNewIdentifier));
    KeepUpperCase(m_identifier);
    m_name = NewField(static_cast<int>(CSensorDefine::kMaxName));
    m_unit = NewField(static_cast<int>(CSensorDefine::kMaxUnit));
    m_formula = new QLineEdit;
    m_formula->setMinimumWidth(360);
    KeepUpperCase(m_formula);
    m_check = new QPushButton(QStringLiteral("&Check formula"));
    m_status = new QLabel;
    m_status->setMinimumWidth(
        m_status->fontMetrics().horizontalAdvance(QStringLiteral("Error ->missing bracket")));
    m_help = new QPushButton(QStringLiteral("Function's &help"));
    connect(m_check, &QPushButton::clicked, this, [this] { CheckFormula(); });
    connect(m_help, &QPushButton::clicked, this, &CSensorDefineDlg::FunctionHelp);

    const int limit = static_cast<int>(CSensorDefine::kMaxLimitText);
    m_lowerLimit = NewField(limit);
    m_upperLimit = NewField(limit);
    m_underflow = NewField(limit);
    m_overflow = NewField(limit);
    m_digits = new QSpinBox;
    m_digits->setRange(0, kMaxDecimals);
    m_hourlySum = new QCheckBox(QStringLiteral("Sum/&h"));

    auto* formulaButtons = new QHBoxLayout;
    formulaButtons->addWidget(m_check);
    formulaButtons->addWidget(m_status, 1);
    formulaButtons->addWidget(m_help);

    auto* definitionBox = new QGroupBox(QStringLiteral("Definition"));
    auto* definitionFields = new QFormLayout(definitionBox);
    definitionFields->addRow(QStringLiteral("Internal &Label:"), m_identifier);
    definitionFields->addRow(QStringLiteral("Internal &name:"), m_name);
    definitionFields->addRow(QStringLiteral("&Unit:"), m_unit);
    definitionFields->addRow(QStringLiteral("&Formula:"), m_formula);
    definitionFields->addRow(formulaButtons);
    definitionFields->addRow(QStringLiteral("Lo&wer limit:"), m_lowerLimit);
    definitionFields->addRow(QStringLiteral("Value in case of u&nderflow:"), m_underflow);
    definitionFields->addRow(QStringLiteral("U&pper limit:"), m_upperLimit);
    definitionFields->addRow(QStringLiteral("Value in case of &overflow:"), m_overflow);
    definitionFields->addRow(QStringLiteral("&Digits:"), m_digits);
    definitionFields->addRow(m_hourlySum);

    // Graphical display.
    m_minScale = NewField(kMaxScaleText);
    m_maxScale = NewField(kMaxScaleText);
    m_considerMin = new QCheckBox(QStringLiteral("consider"));
    m_considerMax = new QCheckBox(QStringLiteral("consider"));
    m_selectedArea = new QRadioButton(QStringLiteral("Selected area"));
    m_completeArea = new QRadioButton(QStringLiteral("Complete area"));
    m_chartKind = new QComboBox;
    m_chartKind->addItem(QStringLiteral("Line"));
    m_chartKind->addItem(QStringLiteral("Dots"));
    m_colourButton = new QPushButton(QStringLiteral("Co&lor"));
    connect(m_colourButton, &QPushButton::clicked, this, &CSensorDefineDlg::ChooseColour);
    auto* scaleArea = new QButtonGroup(this);
    scaleArea->addButton(m_selectedArea, 0);
    scaleArea->addButton(m_completeArea, 1);

    auto* displayBox = new QGroupBox(QStringLiteral("Graphical display"));
    auto* display = new QGridLayout(displayBox);
    display->addWidget(new QLabel(QStringLiteral("Minimum-Scale:")), 0, 0);
    display->addWidget(m_minScale, 0, 1);
    display->addWidget(m_considerMin, 0, 2);
    display->addWidget(new QLabel(QStringLiteral("Maximum-Scale:")), 1, 0);
    display->addWidget(m_maxScale, 1, 1);
    display->addWidget(m_considerMax, 1, 2);
    display->addWidget(m_selectedArea, 2, 0);
    display->addWidget(m_completeArea, 2, 1, 1, 2);
    display->addWidget(new QLabel(QStringLiteral("Kind of chart:")), 3, 0);
    display->addWidget(m_chartKind, 3, 1);
    display->addWidget(m_colourButton, 3, 2);

    m_azimuth = new QCheckBox(QStringLiteral("Azimuth scale"));
    m_azimuthEdit = new QPushButton(QStringLiteral("Edit"));
    auto* azimuth = new QHBoxLayout;
    azimuth->addWidget(m_azimuth);
    azimuth->addStretch();
    azimuth->addWidget(m_azimuthEdit);

    // Displayed values in the sensor dialog.
    m_maximum = new QCheckBox(QStringLiteral("Maximum"));
    m_minimum = new QCheckBox(QStringLiteral("Minimum"));
    m_average = new QCheckBox(QStringLiteral("Average"));
    m_sum = new QCheckBox(QStringLiteral("Sum"));
    m_sumModes = new QButtonGroup(this);
    m_activity = new QCheckBox(QStringLiteral("Activity"));
    m_activityModes = new QButtonGroup(this);
    m_thresholdLabel = new QLabel(QStringLiteral("Threshold:"));
    m_thresholdLabel->setMinimumWidth(
        m_thresholdLabel->fontMetrics().horizontalAdvance(QStringLiteral("Threshold:")));
    m_threshold = NewField(kMaxThresholdText);
    m_tendency = new QCheckBox(QStringLiteral("Tendency"));
    m_tendencyModes = new QButtonGroup(this);
    m_timeBaseLabel = new QLabel(QStringLiteral("tendency timebase (in sec):"));
    m_timeBase = new QSpinBox;
    m_timeBase->setRange(1, 86400 * 31);

    auto* valuesBox = new QGroupBox(QStringLiteral("Displayed values in the sensor dialog"));
    auto* values = new QGridLayout(valuesBox);
    values->addWidget(m_maximum, 0, 0);
    values->addWidget(m_minimum, 0, 1);
    values->addWidget(m_average, 0, 2);
    values->addWidget(m_sum, 1, 0);
    values->addWidget(AddMode(m_sumModes, "Standard", 0), 1, 1);
    values->addWidget(AddMode(m_sumModes, "Accumulating", 1), 1, 2);
    values->addWidget(AddMode(m_sumModes, "Sun  ( Wh )", 2), 1, 3);
    values->addWidget(m_activity, 2, 0);
    values->addWidget(AddMode(m_activityModes, "Threshold", 0), 2, 1);
    values->addWidget(AddMode(m_activityModes, "Delta", 1), 2, 2);
    auto* threshold = new QHBoxLayout;
    threshold->addWidget(m_thresholdLabel);
    threshold->addWidget(m_threshold);
    values->addLayout(threshold, 3, 1, 1, 3);
    values->addWidget(m_tendency, 4, 0);
    values->addWidget(AddMode(m_tendencyModes, "in selected timeperiod", 0), 4, 1, 1, 2);
    values->addWidget(AddMode(m_tendencyModes, "in timebase", 1), 4, 3);
    auto* timeBase = new QHBoxLayout;
    timeBase->addWidget(m_timeBaseLabel);
    timeBase->addWidget(m_timeBase);
    values->addLayout(timeBase, 5, 1, 1, 3);

    for (QCheckBox* box :
         {m_considerMin, m_considerMax, m_sum, m_activity, m_tendency, m_azimuth})
        connect(box, &QCheckBox::toggled, this, &CSensorDefineDlg::UpdateDependents);
    connect(m_azimuthEdit, &QPushButton::clicked, this, &CSensorDefineDlg::EditWindRoseClicked);
    for (QButtonGroup* group : {m_activityModes, m_tendencyModes})
        connect(group, &QButtonGroup::idToggled, this, &CSensorDefineDlg::UpdateDependents);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSensorDefineDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSensorDefineDlg::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(displayBox);
    right->addLayout(azimuth);
    right->addWidget(valuesBox);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addWidget(definitionBox, 1);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
}

void CSensorDefineDlg::Fill(const VirtualSensorInput& in) {
    m_identifier->setText(FromBytes(in.identifier));
    m_name->setText(FromBytes(in.name));
    m_unit->setText(FromBytes(in.unit));
    m_formula->setText(FromBytes(in.formula));
    m_lowerLimit->setText(FromBytes(in.lowerLimit));
    m_upperLimit->setText(FromBytes(in.upperLimit));
    m_underflow->setText(FromBytes(in.underflowValue));
    m_overflow->setText(FromBytes(in.overflowValue));
    m_digits->setValue(in.decimals);
    m_minScale->setText(FromBytes(in.minScale));
    m_maxScale->setText(FromBytes(in.maxScale));
    m_considerMin->setChecked(in.considerMinScale);
    m_considerMax->setChecked(in.considerMaxScale);
    (in.scalingRange == 1 ? m_completeArea : m_selectedArea)->setChecked(true);
    m_chartKind->setCurrentIndex(in.diagramType == 1 ? 1 : 0);
    m_colour = in.colour;
    ShowColour();
    m_maximum->setChecked(in.showMaximum);
    m_minimum->setChecked(in.showMinimum);
    m_average->setChecked(in.showMean);
    m_sum->setChecked(in.showSum);
    CheckMode(m_sumModes, in.sumMode);
    m_activity->setChecked(in.showActivity);
    CheckMode(m_activityModes, in.activityMode);
    m_threshold->setText(FromBytes(in.activityThreshold));
    m_tendency->setChecked(in.showTendency);
    CheckMode(m_tendencyModes, in.tendencyMode);
    m_timeBase->setValue(in.tendencyTimeBase);
    m_hourlySum->setChecked(in.hourlySum);
}

VirtualSensorInput CSensorDefineDlg::Fields() const {
    VirtualSensorInput in;
    in.identifier = ToBytes(m_identifier->text());
    in.name = ToBytes(m_name->text());
    in.unit = ToBytes(m_unit->text());
    in.formula = ToBytes(m_formula->text());
    in.lowerLimit = ToBytes(m_lowerLimit->text().trimmed());
    in.upperLimit = ToBytes(m_upperLimit->text().trimmed());
    in.underflowValue = ToBytes(m_underflow->text().trimmed());
    in.overflowValue = ToBytes(m_overflow->text().trimmed());
    in.decimals = m_digits->value();
    in.minScale = ToBytes(m_minScale->text().trimmed());
    in.maxScale = ToBytes(m_maxScale->text().trimmed());
    in.considerMinScale = m_considerMin->isChecked();
    in.considerMaxScale = m_considerMax->isChecked();
    in.scalingRange = m_completeArea->isChecked() ? 1 : 0;
    in.diagramType = m_chartKind->currentIndex();
    in.colour = m_colour;
    in.showMaximum = m_maximum->isChecked();
    in.showMinimum = m_minimum->isChecked();
    in.showMean = m_average->isChecked();
    in.showSum = m_sum->isChecked();
    in.sumMode = std::max(0, m_sumModes->checkedId());
    in.showActivity = m_activity->isChecked();
    in.activityMode = std::max(0, m_activityModes->checkedId());
    in.activityThreshold = ToBytes(m_threshold->text().trimmed());
    in.showTendency = m_tendency->isChecked();
    in.tendencyMode = std::max(0, m_tendencyModes->checkedId());
    in.tendencyTimeBase = m_timeBase->value();
    in.hourlySum = m_hourlySum->isChecked();
    in.windRose = m_windRose.value_or(WindRoseSettings{});
    in.windRose->enabled = m_azimuth->isChecked();
    return in;
}

void CSensorDefineDlg::UpdateDependents() {
    for (QAbstractButton* mode : m_sumModes->buttons()) mode->setEnabled(m_sum->isChecked());
    for (QAbstractButton* mode : m_activityModes->buttons())
        mode->setEnabled(m_activity->isChecked());
    m_thresholdLabel->setEnabled(m_activity->isChecked());
    m_threshold->setEnabled(m_activity->isChecked());
    m_thresholdLabel->setText(m_activityModes->checkedId() == 1 ? QStringLiteral("Delta:")
                                                                : QStringLiteral("Threshold:"));
    for (QAbstractButton* mode : m_tendencyModes->buttons())
        mode->setEnabled(m_tendency->isChecked());
    const bool timeBase = m_tendency->isChecked() && m_tendencyModes->checkedId() == 1;
    m_timeBaseLabel->setEnabled(timeBase);
    m_timeBase->setEnabled(timeBase);
    m_minScale->setEnabled(m_considerMin->isChecked());
    m_maxScale->setEnabled(m_considerMax->isChecked());
    const bool both = m_considerMin->isChecked() && m_considerMax->isChecked();
    m_completeArea->setEnabled(both);
    if (!both) m_selectedArea->setChecked(true);
    m_azimuthEdit->setEnabled(static_cast<bool>(m_editWindRose) && m_azimuth->isChecked());
}

void CSensorDefineDlg::SetWindRoseEditor(CNewORB::EditWindRose edit) {
    m_editWindRose = std::move(edit);
    UpdateDependents();
}

void CSensorDefineDlg::EditWindRoseClicked() {
    if (!m_editWindRose) return;
    if (std::optional<WindRoseSettings> settings =
            m_editWindRose(this, m_windRose.value_or(WindRoseSettings{})))
        m_windRose = std::move(settings);
}

void CSensorDefineDlg::ChooseColour() {
    if (const std::optional<std::uint32_t> colour = m_ui.ChooseColour(m_colour)) {
        m_colour = *colour;
        ShowColour();
    }
}

void CSensorDefineDlg::ShowColour() {
    const QColor colour = ToQColor(m_colour);
    // A swatch on the button: the colour of the curve in the diagram.
    QPixmap swatch(12, 12);
    swatch.fill(colour);
    m_colourButton->setIcon(QIcon(swatch));
}

void CSensorDefineDlg::ShowCheck(const FormulaCheck::Outcome& outcome) {
    m_status->setText(FromBytes(outcome.status));
    if (outcome.result == FormulaCheck::Result::Missing) return;
    m_formula->setText(FromBytes(outcome.formula));
    if (outcome.errorIndex) {
        m_formula->setFocus();
        m_formula->deselect();
        m_formula->setCursorPosition(static_cast<int>(*outcome.errorIndex));
    }
}

FormulaCheck::Result CSensorDefineDlg::CheckFormula() {
    const FormulaCheck::Outcome outcome =
        m_definition.Rules().CheckFormula(ToBytes(m_formula->text()));
    ShowCheck(outcome);
    if (!outcome.message.empty()) Message(outcome.message);
    return outcome.result;
}

void CSensorDefineDlg::FunctionHelp() {
    CFunktionsHilfe assistant(m_ui, this);
    if (assistant.exec() != QDialog::Accepted || !assistant.ChosenSyntax()) return;
    const FormulaCheck::Insertion inserted =
        FormulaCheck::InsertFunction(ToBytes(m_formula->text()), *assistant.ChosenSyntax());
    m_formula->setText(FromBytes(inserted.formula));
    m_formula->setFocus();
    m_formula->setSelection(static_cast<int>(inserted.selectionStart),
                            static_cast<int>(inserted.selectionEnd - inserted.selectionStart));
}

void CSensorDefineDlg::accept() {
    const CSensorDefine::Validation validation = m_definition.Rules().Validate(Fields(), m_isNew);
    if (validation.formulaCheck) ShowCheck(*validation.formulaCheck);
    if (!validation.message.empty()) {
        Message(validation.message);
        return;
    }
    if (!m_definition.Apply(*validation.sensor, m_isNew)) {
        Message(m_definition.File() + " couldn't be written; the sensor was not stored.");
        return;
    }
    QDialog::accept();
}

void CSensorDefineDlg::Message(const std::string& text) {
    m_ui.MessageBox(text, m_caption, MsgButtons::Ok, MsgIcon::Warning);
}

bool ShowVirtualSensorDefinition(CWetterDoc& document, const std::string& identifier,
                                 QWidget* parent, CNewORB::EditWindRose editWindRose) {
    VirtualSensorDefinition definition(document);
    const CSensoren* sensor = identifier.empty() ? nullptr : definition.Find(identifier);
    AppContext& context = document.Context();
    CSensorDefineDlg dialog(definition, sensor, context.ui, context.paths.ProgramName(), parent);
    dialog.SetWindRoseEditor(std::move(editWindRose));
    return dialog.exec() == QDialog::Accepted;
}
