#include "gui/display/CDlgWindroseSetts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/ui/Text.h"

CDlgWindroseSetts::CDlgWindroseSetts(const WindRoseSettings& settings, const SensorSet& sensors,
                                     QWidget* parent)
    : QDialog(parent), m_settings(settings), m_choices(WindroseSensorChoices(sensors, settings)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    m_sensor1 = NewSensorBox(settings.sensor1);
    m_sensor2 = NewSensorBox(settings.sensor2);
    m_sensor3 = NewSensorBox(settings.sensor3);
    m_fadeOut = new QCheckBox(QStringLiteral("Fade out Sensor1\nif Sensor3 = 0."));
    m_fadeOut->setChecked(settings.fadeOutSensor1);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Select Sensor&1:"), m_sensor1);
    form->addRow(QStringLiteral("Select Sensor&2:"), m_sensor2);
    form->addRow(QStringLiteral("Select Sensor&3:"), m_sensor3);
    form->addRow(QString(), m_fadeOut);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgWindroseSetts::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgWindroseSetts::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_sensor1->setFocus();
}

QComboBox* CDlgWindroseSetts::NewSensorBox(const std::string& label) {
    auto* box = new QComboBox;
    for (const WindroseSensorChoice& choice : m_choices) box->addItem(FromBytes(choice.text));
    box->setCurrentIndex(WindroseChoiceIndex(m_choices, label));
    box->setMinimumContentsLength(20);
    return box;
}

std::string CDlgWindroseSetts::LabelOf(const QComboBox& box) const {
    const int index = box.currentIndex();
    if (index < 0 || index >= static_cast<int>(m_choices.size())) return {};
    return m_choices[static_cast<std::size_t>(index)].label;
}

WindRoseSettings CDlgWindroseSetts::Chosen() const {
    WindRoseSettings chosen = m_settings;
    chosen.sensor1 = LabelOf(*m_sensor1);
    chosen.sensor2 = LabelOf(*m_sensor2);
    chosen.sensor3 = LabelOf(*m_sensor3);
    chosen.fadeOutSensor1 = m_fadeOut->isChecked();
    return chosen;
}

std::optional<WindRoseSettings> EditWindRoseSettings(QWidget* parent,
                                                     const WindRoseSettings& settings,
                                                     const SensorSet& sensors) {
    CDlgWindroseSetts dialog(settings, sensors, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Chosen();
}
