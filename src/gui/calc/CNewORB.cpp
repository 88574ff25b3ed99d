#include "gui/calc/CNewORB.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cerrno>

#include "app/OrbsetForm.h"
#include "gui/ui/ColourValue.h"
#include "gui/ui/Text.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"

namespace {

QLineEdit* NewField(int maxLength, int widthInDigits) {
    auto* field = new QLineEdit;
    field->setMaxLength(maxLength);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QString(widthInDigits, '0')) +
                           16);
    return field;
}

QLabel* Buddy(const char* text, QWidget* field) {
    auto* label = new QLabel(QString::fromLatin1(text));
    label->setBuddy(field);
    return label;
}

// Radio buttons in a row that exclude each other, numbered by their mode.
template <std::size_t N>
QHBoxLayout* ModeRow(QWidget* owner, QRadioButton* (&buttons)[N], const char* const (&texts)[N]) {
    auto* group = new QButtonGroup(owner);
    auto* row = new QHBoxLayout;
    for (std::size_t i = 0; i < N; ++i) {
        buttons[i] = new QRadioButton(QString::fromLatin1(texts[i]));
        group->addButton(buttons[i], static_cast<int>(i));
        row->addWidget(buttons[i]);
    }
    row->addStretch();
    return row;
}

template <std::size_t N>
int CheckedMode(QRadioButton* const (&buttons)[N], int fallback) {
    for (std::size_t i = 0; i < N; ++i)
        if (buttons[i]->isChecked()) return static_cast<int>(i);
    return fallback;
}

template <std::size_t N>
void CheckMode(QRadioButton* const (&buttons)[N], int mode) {
    if (mode >= 0 && mode < static_cast<int>(N)) buttons[mode]->setChecked(true);
}

}  // namespace

CNewORB::CNewORB(OrbsetForm& form, StationSensorInput initial, const WindRoseSettings& windRose,
                 ChooseUnit chooseUnit, EditWindRose editWindRose, Ui& ui, std::string caption,
                 QWidget* parent)
    : QDialog(parent),
      m_form(form),
      m_initial(std::move(initial)),
      m_chooseUnit(std::move(chooseUnit)),
      m_editWindRose(std::move(editWindRose)),
      m_ui(ui),
      m_caption(std::move(caption)),
      m_windRose(windRose) {
    setWindowTitle(QString::fromLatin1(kTitle));

    // ---- the sensor ----
    m_label = NewField(3, 3);
    m_label->setReadOnly(true);
    m_name = NewField(static_cast<int>(StationSensorDefine::kMaxName), 24);
    m_unit = NewField(10, 8);
    m_unit->setReadOnly(true);
    m_unitButton = new QPushButton(QStringLiteral("Unit selection"));
    m_lower = NewField(static_cast<int>(StationSensorDefine::kMaxLimit), 8);
    m_upper = NewField(static_cast<int>(StationSensorDefine::kMaxLimit), 8);
    m_digits = new QSpinBox;
    m_digits->setRange(0, StationSensorDefine::kMaxDecimals);
    m_altitude = NewField(9, 5);
    m_altitude->setReadOnly(true);
    for (QLineEdit* readOnly : {m_label, m_unit, m_altitude})
        readOnly->setFocusPolicy(Qt::ClickFocus);

    auto* sensor = new QGroupBox(QStringLiteral("Sensor"));
    auto* sensorGrid = new QGridLayout(sensor);
    sensorGrid->addWidget(Buddy("Sensorlabel:", m_label), 0, 0);
    sensorGrid->addWidget(m_label, 0, 1);
    sensorGrid->addWidget(Buddy("Altitude (in m):", m_altitude), 0, 2);
    sensorGrid->addWidget(m_altitude, 0, 3);
    sensorGrid->addWidget(Buddy("Sensor&name:", m_name), 1, 0);
    sensorGrid->addWidget(m_name, 1, 1, 1, 3);
    sensorGrid->addWidget(Buddy("Unit:", m_unit), 2, 0);
    sensorGrid->addWidget(m_unit, 2, 1);
    sensorGrid->addWidget(m_unitButton, 2, 2, 1, 2, Qt::AlignLeft);
    sensorGrid->addWidget(Buddy("&Lower limit :", m_lower), 3, 0);
    sensorGrid->addWidget(m_lower, 3, 1);
    sensorGrid->addWidget(Buddy("&Upper limit :", m_upper), 3, 2);
    sensorGrid->addWidget(m_upper, 3, 3);
    sensorGrid->addWidget(Buddy("&Digits:", m_digits), 4, 0);
    sensorGrid->addWidget(m_digits, 4, 1, Qt::AlignLeft);
    sensorGrid->setColumnStretch(1, 1);
    sensorGrid->setColumnStretch(3, 1);

    // ---- the diagram ----
    m_considerMin = new QCheckBox(QStringLiteral("consider"));
    m_considerMax = new QCheckBox(QStringLiteral("consider"));
    m_minScale = NewField(static_cast<int>(StationSensorDefine::kMaxScale), 8);
    m_maxScale = NewField(static_cast<int>(StationSensorDefine::kMaxScale), 8);
    m_selectedArea = new QRadioButton(QStringLiteral("selected area"));
    m_completeArea = new QRadioButton(QStringLiteral("complete area"));
    auto* areas = new QButtonGroup(this);
    areas->addButton(m_selectedArea, 0);
    areas->addButton(m_completeArea, 1);
    m_chart = new QComboBox;
    m_chart->addItems({QStringLiteral("Line"), QStringLiteral("Dots")});
    m_colourButton = new QPushButton(QStringLiteral("Color"));
    m_colourField = new QLabel;
    m_colourField->setFixedSize(48, m_colourButton->sizeHint().height() - 4);
    m_colourField->setFrameShape(QFrame::Box);
    m_colourField->setAutoFillBackground(true);

    auto* diagram = new QGroupBox(QStringLiteral("Graphical display"));
    auto* diagramGrid = new QGridLayout(diagram);
    diagramGrid->addWidget(Buddy("Minimum scale :", m_minScale), 0, 0);
    diagramGrid->addWidget(m_minScale, 0, 1);
    diagramGrid->addWidget(m_considerMin, 0, 2);
    diagramGrid->addWidget(Buddy("Maximum scale :", m_maxScale), 1, 0);
    diagramGrid->addWidget(m_maxScale, 1, 1);
    diagramGrid->addWidget(m_considerMax, 1, 2);
    diagramGrid->addWidget(m_selectedArea, 2, 0);
    diagramGrid->addWidget(m_completeArea, 2, 1, 1, 2);
    diagramGrid->addWidget(Buddy("kind of chart", m_chart), 3, 0);
    diagramGrid->addWidget(m_chart, 3, 1, 1, 2);
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(m_colourButton);
    colourRow->addWidget(m_colourField);
    colourRow->addStretch();
    diagramGrid->addLayout(colourRow, 4, 0, 1, 3);
    diagramGrid->setRowStretch(5, 1);

    // ---- the single-value window ----
    m_maximum = new QCheckBox(QStringLiteral("Maximum"));
    m_minimum = new QCheckBox(QStringLiteral("Minimum"));
    m_average = new QCheckBox(QStringLiteral("Average"));
    m_sum = new QCheckBox(QStringLiteral("Sum"));
    m_activity = new QCheckBox(QStringLiteral("Activity"));
    m_tendency = new QCheckBox(QStringLiteral("Tendency"));
    m_threshold = NewField(static_cast<int>(StationSensorDefine::kMaxThreshold), 8);
    m_thresholdLabel = Buddy("Threshold:", m_threshold);
    m_timeBase = new QSpinBox;
    m_timeBase->setRange(1, 999999);
    m_timeBaseLabel = Buddy("tendency timebase (in sec):", m_timeBase);

    auto* values = new QGroupBox(QStringLiteral("Displayed values in the sensor dialog"));
    auto* valuesGrid = new QGridLayout(values);
    auto* extremes = new QHBoxLayout;
    for (QCheckBox* box : {m_maximum, m_minimum, m_average}) extremes->addWidget(box);
    extremes->addStretch();
    valuesGrid->addLayout(extremes, 0, 0, 1, 3);
    valuesGrid->addWidget(m_sum, 1, 0);
    valuesGrid->addLayout(ModeRow(this, m_sumModes, {"Standard", "Accumulating", "Sun  ( Wh )"}), 1,
                          1, 1, 2);
    valuesGrid->addWidget(m_activity, 2, 0);
    valuesGrid->addLayout(ModeRow(this, m_activityModes, {"Threshold", "Delta"}), 2, 1);
    auto* threshold = new QHBoxLayout;
    threshold->addWidget(m_thresholdLabel);
    threshold->addWidget(m_threshold);
    valuesGrid->addLayout(threshold, 2, 2);
    valuesGrid->addWidget(m_tendency, 3, 0);
    valuesGrid->addLayout(ModeRow(this, m_tendencyModes, {"in selected timeperiod", "in timebase"}),
                          3, 1, 1, 2);
    auto* timeBase = new QHBoxLayout;
    timeBase->addWidget(m_timeBaseLabel);
    timeBase->addWidget(m_timeBase);
    timeBase->addStretch();
    valuesGrid->addLayout(timeBase, 4, 1, 1, 2);
    valuesGrid->setColumnStretch(2, 1);

    // ---- the wind rose ----
    m_windRoseBox = new QCheckBox(QStringLiteral("Azimuth scale"));
    m_windRoseButton = new QPushButton(QStringLiteral("Edit"));
    auto* windRoseGroup = new QGroupBox(QStringLiteral("Azimuth scale"));
    auto* windRoseRow = new QHBoxLayout(windRoseGroup);
    windRoseRow->addWidget(m_windRoseBox);
    windRoseRow->addWidget(m_windRoseButton);
    windRoseRow->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    for (QPushButton* button : {m_unitButton, m_colourButton, m_windRoseButton})
        button->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewORB::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewORB::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(sensor);
    left->addWidget(diagram, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(values);
    right->addWidget(windRoseGroup);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    FillFields();
    m_altitude->setText(FromBytes(m_form.AltitudeText()));

    for (QCheckBox* box :
         {m_considerMin, m_considerMax, m_sum, m_activity, m_tendency, m_windRoseBox})
        connect(box, &QCheckBox::toggled, this, &CNewORB::FollowBoxes);
    for (QRadioButton* button :
         {m_activityModes[0], m_activityModes[1], m_tendencyModes[0], m_tendencyModes[1]})
        connect(button, &QRadioButton::toggled, this, &CNewORB::FollowBoxes);
    connect(m_unitButton, &QPushButton::clicked, this, &CNewORB::ChooseUnitClicked);
    connect(m_colourButton, &QPushButton::clicked, this, &CNewORB::ChooseColourClicked);
    connect(m_windRoseButton, &QPushButton::clicked, this, &CNewORB::EditWindRoseClicked);
    FollowBoxes();
    m_name->setFocus();
}

void CNewORB::FillFields() {
    const StationSensorInput& in = m_initial;
    m_label->setText(FromBytes(in.identifier));
    m_name->setText(FromBytes(in.name));
    m_unit->setText(FromBytes(in.unit));
    m_unitGroup = in.unitGroup;
    m_factor = in.factor;
    m_offset = in.offset;
    m_beaufort = in.beaufort;
    m_lower->setText(FromBytes(in.lowerLimit));
    m_upper->setText(FromBytes(in.upperLimit));
    m_digits->setValue(in.decimals);
    m_minScale->setText(FromBytes(in.minScale));
    m_maxScale->setText(FromBytes(in.maxScale));
    m_considerMin->setChecked(in.considerMinScale);
    m_considerMax->setChecked(in.considerMaxScale);
    (in.scalingRange == 1 ? m_completeArea : m_selectedArea)->setChecked(true);
    m_chart->setCurrentIndex(in.diagramType == 1 ? 1 : 0);
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
    m_windRoseBox->setChecked(in.windRoseEnabled);
    m_windRoseEdited = in.windRose.has_value();
    if (in.windRose) m_windRose = *in.windRose;
}

void CNewORB::FollowBoxes() {
    for (QRadioButton* button : m_sumModes) button->setEnabled(m_sum->isChecked());

    const bool activity = m_activity->isChecked();
    for (QRadioButton* button : m_activityModes) button->setEnabled(activity);
    m_thresholdLabel->setEnabled(activity);
    m_threshold->setEnabled(activity);
    m_thresholdLabel->setText(m_activityModes[1]->isChecked() ? QStringLiteral("Delta:")
                                                              : QStringLiteral("Threshold:"));

    const bool tendency = m_tendency->isChecked();
    for (QRadioButton* button : m_tendencyModes) button->setEnabled(tendency);
    const bool timeBase = tendency && m_tendencyModes[1]->isChecked();
    m_timeBaseLabel->setEnabled(timeBase);
    m_timeBase->setEnabled(timeBase);

    m_minScale->setEnabled(m_considerMin->isChecked());
    m_maxScale->setEnabled(m_considerMax->isChecked());
    const bool bothScales = m_considerMin->isChecked() && m_considerMax->isChecked();
    m_completeArea->setEnabled(bothScales);
    if (!bothScales) m_selectedArea->setChecked(true);

    m_unitButton->setEnabled(static_cast<bool>(m_chooseUnit));
    m_windRoseButton->setEnabled(static_cast<bool>(m_editWindRose) && m_windRoseBox->isChecked());
}

StationSensorInput CNewORB::Fields() const {
    StationSensorInput in;
    in.identifier = m_initial.identifier;
    in.name = ToBytes(m_name->text());
    in.unit = ToBytes(m_unit->text());
    in.unitGroup = m_unitGroup;
    in.factor = m_factor;
    in.offset = m_offset;
    in.beaufort = m_beaufort;
    in.lowerLimit = ToBytes(m_lower->text().trimmed());
    in.upperLimit = ToBytes(m_upper->text().trimmed());
    in.decimals = m_digits->value();
    in.minScale = ToBytes(m_minScale->text().trimmed());
    in.maxScale = ToBytes(m_maxScale->text().trimmed());
    in.considerMinScale = m_considerMin->isChecked();
    in.considerMaxScale = m_considerMax->isChecked();
    in.scalingRange = m_completeArea->isChecked() ? 1 : 0;
    in.diagramType = m_chart->currentIndex() == 1 ? 1 : 0;
    in.colour = m_colour;
    in.showMaximum = m_maximum->isChecked();
    in.showMinimum = m_minimum->isChecked();
    in.showMean = m_average->isChecked();
    in.showSum = m_sum->isChecked();
    in.sumMode = CheckedMode(m_sumModes, m_initial.sumMode);
    in.showActivity = m_activity->isChecked();
    in.activityMode = CheckedMode(m_activityModes, m_initial.activityMode);
    in.activityThreshold = ToBytes(m_threshold->text().trimmed());
    in.showTendency = m_tendency->isChecked();
    in.tendencyMode = CheckedMode(m_tendencyModes, m_initial.tendencyMode);
    in.tendencyTimeBase = m_timeBase->value();
    in.windRoseEnabled = m_windRoseBox->isChecked();
    if (m_windRoseEdited) in.windRose = m_windRose;
    return in;
}

void CNewORB::accept() {
    const StationSensorInput fields = Fields();
    if (const std::optional<std::string> message = StationSensorDefine::Validate(fields)) {
        m_ui.MessageBox(*message, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    errno = 0;
    if (!m_form.AcceptStationSensor(m_initial, fields)) {
        const int error = errno;
        std::string text = m_form.DefineFile() + " couldn't be written";
        if (error != 0) text += ": " + FileSystem::SystemErrorText(error);
        m_ui.MessageBox(text, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    QDialog::accept();
}

void CNewORB::ChooseUnitClicked() {
    if (!m_chooseUnit) return;
    const std::optional<UnitFile::UnitChoice> choice =
        m_chooseUnit(this, m_unitGroup, ToBytes(m_unit->text()));
    if (!choice) return;
    m_unit->setText(FromBytes(choice->unit));
    m_unitGroup = choice->group;
    m_factor = choice->conversion.factor;
    m_offset = choice->conversion.offset;
    m_beaufort = choice->beaufort;
}

void CNewORB::ChooseColourClicked() {
    if (const std::optional<std::uint32_t> colour = m_ui.ChooseColour(m_colour)) {
        m_colour = *colour;
        ShowColour();
    }
}

void CNewORB::EditWindRoseClicked() {
    if (!m_editWindRose) return;
    if (const std::optional<WindRoseSettings> settings = m_editWindRose(this, m_windRose)) {
        m_windRose = *settings;
        m_windRoseEdited = true;
    }
}

void CNewORB::ShowColour() {
    QPalette palette = m_colourField->palette();
    palette.setColor(QPalette::Window, ToQColor(m_colour));
    m_colourField->setPalette(palette);
}
