#include "gui/storage/CDatenSpeichernDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "gui/storage/CDatenSpeicherDlg.h"
#include "gui/ui/Text.h"
#include "platform/ProgramPaths.h"
#include "platform/Ui.h"

namespace {

QPushButton* BrowseButton() {
    auto* button = new QPushButton(QStringLiteral("..."));
    button->setAutoDefault(false);
    button->setToolTip(QString::fromLatin1(CDatenSpeichernDlg::kChooseFolder));
    return button;
}

}  // namespace

CDatenSpeichernDlg::CDatenSpeichernDlg(CWetterDoc& document, Ui& ui, std::string caption,
                                       QWidget* parent)
    : QDialog(parent),
      m_document(document),
      m_ui(ui),
      m_caption(std::move(caption)),
      m_opened(StorageOptions::LoadWriteReadOptions(document.Context().profile,
                                                    document.StationFile(),
                                                    document.Context().paths.DefaultDataFolder())),
      m_dataFolder(new QLineEdit(FromPath(m_opened.dataFolder))),
      m_additionalFolder(new QLineEdit(FromPath(m_opened.additionalFolder))),
      m_interval(new QSpinBox),
      m_dataBrowse(BrowseButton()),
      m_additionalBrowse(BrowseButton()),
      m_configure(new QPushButton(QStringLiteral("Configure data storage"))) {
    setWindowTitle(QString::fromLatin1(kTitle));
    m_dataFolder->setMinimumWidth(340);
    m_additionalFolder->setPlaceholderText(QStringLiteral("no additional storage"));
    m_interval->setRange(1, kMaxStorageIntervalSeconds);
    m_interval->setValue(std::clamp(m_opened.interval, 1, kMaxStorageIntervalSeconds));
    m_configure->setAutoDefault(false);

    auto* dataLabel = new QLabel(QStringLiteral("&Directory for weatherdata"));
    dataLabel->setBuddy(m_dataFolder);
    auto* additionalLabel =
        new QLabel(QStringLiteral("&Additional Directory only write\nfor backup capabilities"));
    additionalLabel->setBuddy(m_additionalFolder);
    auto* intervalLabel = new QLabel(QStringLiteral("&storage interval in sec."));
    intervalLabel->setBuddy(m_interval);

    auto* grid = new QGridLayout;
    grid->addWidget(dataLabel, 0, 0, 1, 2);
    grid->addWidget(m_dataFolder, 1, 0);
    grid->addWidget(m_dataBrowse, 1, 1);
    grid->addWidget(additionalLabel, 2, 0, 1, 2);
    grid->addWidget(m_additionalFolder, 3, 0);
    grid->addWidget(m_additionalBrowse, 3, 1);
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(intervalLabel);
    intervalRow->addWidget(m_interval);
    intervalRow->addStretch();
    grid->addLayout(intervalRow, 4, 0, 1, 2);
    grid->setColumnStretch(0, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Accept"));
    buttons->addButton(m_configure, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDatenSpeichernDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDatenSpeichernDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    connect(m_dataBrowse, &QPushButton::clicked, this, [this] { Browse(*m_dataFolder); });
    connect(m_additionalBrowse, &QPushButton::clicked, this,
            [this] { Browse(*m_additionalFolder); });
    connect(m_configure, &QPushButton::clicked, this, &CDatenSpeichernDlg::ConfigureDataStorage);
    m_dataFolder->setFocus();
}

StorageOptions::WriteReadOptions CDatenSpeichernDlg::Entered() const {
    return {ToPath(m_dataFolder->text().trimmed()), ToPath(m_additionalFolder->text().trimmed()),
            m_interval->value()};
}

void CDatenSpeichernDlg::Browse(QLineEdit& field) {
    if (const auto folder = m_ui.ChooseFolder(kChooseFolder, ToPath(field.text().trimmed())))
        field.setText(FromPath(*folder));
}

void CDatenSpeichernDlg::ConfigureDataStorage() {
    CDatenSpeicherDlg dialog(m_document, m_ui, m_caption, this);
    dialog.exec();
}

void CDatenSpeichernDlg::accept() {
    using StorageOptions::AcceptResult;
    const AcceptResult result = StorageOptions::AcceptWriteReadOptions(
        m_ui, m_caption, m_document.Context().profile, m_document.StationFile(), m_opened,
        Entered(), m_document.Storage().additional);
    if (result != AcceptResult::Saved) return;
    QDialog::accept();
    m_document.LoadSettings();
}
