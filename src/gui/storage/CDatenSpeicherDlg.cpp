#include "gui/storage/CDatenSpeicherDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "comm/ProcessValues.h"
#include "gui/ui/Text.h"
#include "platform/Ui.h"

namespace {

using StorageOptions::FormatOption;

// The identifier and the extension become parts of file names and INI values.
QValidator* NamePartValidator(QObject* parent) {
    return new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[^/\\\\\\s,;=\\[\\]\"*?<>|:]*")), parent);
}

QGroupBox* RadioGroup(const QString& title, QRadioButton* first, QRadioButton* second) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(first);
    layout->addWidget(second);
    auto* group = new QButtonGroup(box);
    group->addButton(first);
    group->addButton(second);
    return box;
}

}  // namespace

CDatenSpeicherDlg::CDatenSpeicherDlg(CWetterDoc& document, Ui& ui, std::string caption,
                                     QWidget* parent)
    : QDialog(parent),
      m_document(document),
      m_ui(ui),
      m_caption(std::move(caption)),
      m_withLogger(new QRadioButton(QStringLiteral("with &datalogger"))),
      m_withoutLogger(new QRadioButton(QStringLiteral("with&out datalogger\n(ORB3, ORB6)"))),
      m_synchronous(new QRadioButton(QStringLiteral("s&ynchronous"))),
      m_notSynchronous(new QRadioButton(QStringLiteral("&not synchronous"))),
      m_storageId(new QLineEdit),
      m_virtualSensors(new QCheckBox(QStringLiteral("Save &virtual sensors"))),
      m_extension(new QLineEdit) {
    setWindowTitle(QString::fromLatin1(kTitle));
    const StorageOptions::DataStorageChoice opened =
        StorageOptions::OpenDataStorage(document.Settings());

    (opened.withoutLogger != 0 ? m_withoutLogger : m_withLogger)->setChecked(true);
    (opened.storeByPc != 0 ? m_notSynchronous : m_synchronous)->setChecked(true);
    m_storageId->setText(FromBytes(opened.storageId));
    m_storageId->setValidator(NamePartValidator(m_storageId));
    m_storageId->setMaxLength(32);
    m_virtualSensors->setChecked(opened.storeVirtualSensors);
    m_extension->setText(FromBytes(opened.fileExtension));
    m_extension->setValidator(NamePartValidator(m_extension));
    m_extension->setMaxLength(16);

    QGroupBox* station = RadioGroup(QStringLiteral("Weather station"), m_withLogger,
                                    m_withoutLogger);
    m_storing = RadioGroup(QStringLiteral("store data"), m_synchronous, m_notSynchronous);
    auto* idForm = new QFormLayout;
    idForm->addRow(QStringLiteral("Storage-&ID"), m_storageId);
    idForm->addRow(m_virtualSensors);

    // The additional layout: each box is one bit of the station's layout.
    const auto box = [this](FormatOption option, const char* text) {
        auto* check = new QCheckBox(QString::fromLatin1(text));
        check->setChecked(StorageOptions::HasFormatOption(m_document.Storage().additional, option));
        connect(check, &QCheckBox::toggled, this, [this, option](bool on) {
            StorageOptions::SetFormatOption(m_document.Storage().additional, option, on);
        });
        m_formatBoxes[option] = check;
        return check;
    };
    auto* columns = new QGroupBox(QStringLiteral("Store in data file:"));
    auto* columnLayout = new QVBoxLayout(columns);
    columnLayout->addWidget(box(FormatOption::SensorIdentifier, "Sensor-Identifier"));
    columnLayout->addWidget(box(FormatOption::Time, "Time"));
    columnLayout->addWidget(box(FormatOption::Date, "Date"));
    columnLayout->addWidget(box(FormatOption::IdentifiersInHeader, "Sensor-Identifiers in header"));
    auto* separators = new QGroupBox(QStringLiteral("Seperators"));
    auto* separatorLayout = new QVBoxLayout(separators);
    separatorLayout->addWidget(box(FormatOption::SeparatorTab, "Tabstop"));
    separatorLayout->addWidget(box(FormatOption::SeparatorSemicolon, "Semicolon"));
    separatorLayout->addWidget(box(FormatOption::SeparatorComma, "Comma"));
    separatorLayout->addWidget(box(FormatOption::SeparatorBlank, "Blank"));
    separatorLayout->addWidget(box(FormatOption::SeparatorSlash, "Slash"));
    auto* decimals = new QGroupBox(QStringLiteral("Decimal Seperators"));
    auto* decimalLayout = new QVBoxLayout(decimals);
    decimalLayout->addWidget(box(FormatOption::DecimalDot, "Dot"));
    decimalLayout->addWidget(box(FormatOption::DecimalComma, "Comma"));
    decimalLayout->addStretch();
    auto* extensionForm = new QFormLayout;
    extensionForm->addRow(QStringLiteral("File &extension:"), m_extension);

    auto* additional = new QGroupBox(QStringLiteral("Settings for additional directory"));
    auto* additionalLayout = new QGridLayout(additional);
    additionalLayout->addWidget(columns, 0, 0);
    additionalLayout->addWidget(separators, 0, 1);
    additionalLayout->addWidget(decimals, 0, 2);
    additionalLayout->addLayout(extensionForm, 1, 0, 1, 3);

    auto* top = new QHBoxLayout;
    top->addWidget(station);
    top->addWidget(m_storing);
    top->addLayout(idForm);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Accept"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CDatenSpeicherDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDatenSpeicherDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(additional);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    connect(m_withoutLogger, &QRadioButton::toggled, this, &CDatenSpeicherDlg::UpdateStoringGroup);
    // "Save virtual sensors" counts at once, as the layout boxes do.
    connect(m_virtualSensors, &QCheckBox::toggled, this, [this](bool on) {
        m_document.Context().process.settings.storeVirtualSensors = on;
    });
    UpdateStoringGroup();
}

void CDatenSpeicherDlg::UpdateStoringGroup() {
    const bool withoutLogger = m_withoutLogger->isChecked();
    m_storing->setEnabled(!withoutLogger);
    if (withoutLogger) m_notSynchronous->setChecked(true);
}

StorageOptions::DataStorageChoice CDatenSpeicherDlg::Choice() const {
    StorageOptions::DataStorageChoice choice;
    choice.withoutLogger = m_withoutLogger->isChecked() ? 1 : 0;
    choice.storeByPc = m_notSynchronous->isChecked() ? 1 : 0;
    choice.storageId = ToBytes(m_storageId->text().trimmed());
    choice.storeVirtualSensors = m_virtualSensors->isChecked();
    choice.fileExtension = ToBytes(m_extension->text().trimmed());
    return choice;
}

void CDatenSpeicherDlg::accept() {
    if (!StorageOptions::AcceptDataStorage(m_document.Context().profile, m_document.StationFile(),
                                           Choice(), m_document.Storage(),
                                           m_document.Context().process.settings)) {
        m_ui.MessageBox(m_document.StationFile() + " couldn't be written.", m_caption,
                        MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    QDialog::accept();
}
