#include "gui/comm/CEinstellung.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/comm/CDlgModemSetts.h"
#include "gui/comm/CDlgVerbOptionen.h"
#include "gui/comm/CKonfigurationComDlg.h"
#include "gui/ui/Text.h"

using namespace ConnectionOptions;

namespace {

constexpr std::array<const char*, 4> kTypeTexts{"Data &only read", "Data from &COM-Port",
                                                "Data via &network", "Data via &modem"};

int Index(ConnectionType type) { return static_cast<int>(type); }

QLabel* NewStatusLabel() {
    auto* label = new QLabel;
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xC0, 0, 0));
    label->setPalette(palette);
    return label;
}

}  // namespace

CEinstellung::CEinstellung(Profile& profile, std::string stationFile, ConnectionChoice opened,
                           PortLists lists, SerialPort& probe, ProcessWideSettings& processWide,
                           Ui& ui, std::string caption, QWidget* parent)
    : QDialog(parent),
      m_profile(profile),
      m_stationFile(std::move(stationFile)),
      m_openedType(opened.type),
      m_lists(std::move(lists)),
      m_probe(probe),
      m_processWide(processWide),
      m_ui(ui),
      m_caption(std::move(caption)),
      m_groups(new QStackedWidget) {
    setWindowTitle(QString::fromLatin1(kTitle));

    auto* typeColumn = new QVBoxLayout;
    // The two sets of radio buttons are groups of their own, so that Tab and the
    // arrow keys treat each set apart.
    auto* types = new QButtonGroup(this);
    for (std::size_t i = 0; i < m_types.size(); ++i) {
        m_types[i] = new QRadioButton(QString::fromLatin1(kTypeTexts[i]));
        types->addButton(m_types[i]);
        typeColumn->addWidget(m_types[i]);
        connect(m_types[i], &QRadioButton::toggled, this, &CEinstellung::ShowChosenGroup);
    }
    typeColumn->addStretch();

    // Stored data only has no group: an empty page keeps the dialog's size.
    m_groups->addWidget(new QWidget);
    m_groups->addWidget(NewSerialGroup(opened));
    m_groups->addWidget(NewTcpGroup(opened));
    m_groups->addWidget(NewModemGroup(opened));

    auto* top = new QHBoxLayout;
    top->addLayout(typeColumn);
    top->addSpacing(12);
    top->addWidget(m_groups, 1);

    m_options = new QPushButton(QStringLiteral("Connection op&tions"));
    m_accept = new QPushButton(QStringLiteral("&Accept"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_reconnect = new QPushButton;
    m_accept->setDefault(true);
    connect(m_options, &QPushButton::clicked, this, &CEinstellung::ShowConnectionOptions);
    connect(m_accept, &QPushButton::clicked, this, &CEinstellung::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CEinstellung::reject);
    connect(m_reconnect, &QPushButton::clicked, this, [this] { Close(DialogEnd::kReconnect); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_options);
    buttons->addStretch();
    buttons->addWidget(m_accept);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_reconnect);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    m_types[static_cast<std::size_t>(Index(opened.type))]->setChecked(true);
    ShowChosenGroup();
    ShowPortStatus();
    m_types[static_cast<std::size_t>(Index(opened.type))]->setFocus();
}

QComboBox* CEinstellung::NewPortBox(const std::vector<PortEntry>& list,
                                    const std::string& current) {
    auto* box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(26);
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const PortEntry& entry : list) {
        if (entry.error == 0) {
            box->addItem(FromPath(entry.path));
        } else {
            box->addItem(warning, FromPath(entry.path));
            box->setItemData(box->count() - 1, FromBytes(PortProblem(entry.error)),
                             Qt::ToolTipRole);
        }
    }
    // The stable names of USB adapters are long: the open list shows them whole.
    box->view()->setTextElideMode(Qt::ElideNone);
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 24);
    box->lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    box->setEditText(FromPath(current));
    connect(box, &QComboBox::editTextChanged, this, &CEinstellung::ShowPortStatus);
    return box;
}

QGroupBox* CEinstellung::NewSerialGroup(const ConnectionChoice& opened) {
    m_serialPort = NewPortBox(m_lists.serial, opened.serialPort);
    m_serialStatus = NewStatusLabel();
    m_serialConfigure = new QPushButton(QStringLiteral("Con&figure"));
    connect(m_serialConfigure, &QPushButton::clicked, this,
            [this] { Configure(LineSection::kSerial); });

    m_searchBaud = new QRadioButton(QStringLiteral("&search for baud rate"));
    m_fixedBaud = new QRadioButton(QStringLiteral("f&ixed baud rate"));
    auto* baudButtons = new QButtonGroup(this);
    baudButtons->addButton(m_searchBaud);
    baudButtons->addButton(m_fixedBaud);
    (opened.fixedBaud != 0 ? m_fixedBaud : m_searchBaud)->setChecked(true);
    auto* baud = new QGroupBox(QStringLiteral("Baudrate"));
    auto* baudLayout = new QVBoxLayout(baud);
    baudLayout->addWidget(m_searchBaud);
    baudLayout->addWidget(m_fixedBaud);

    auto* group = new QGroupBox(QStringLiteral("COM-Port:"));
    auto* grid = new QGridLayout(group);
    auto* label = new QLabel(QStringLiteral("COM - &Port:"));
    label->setBuddy(m_serialPort);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_serialPort, 0, 1);
    grid->addWidget(m_serialConfigure, 0, 2);
    grid->addWidget(m_serialStatus, 1, 1, 1, 2);
    grid->addWidget(baud, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    return group;
}

QGroupBox* CEinstellung::NewTcpGroup(const ConnectionChoice& opened) {
    m_address = new QLineEdit(FromBytes(opened.tcpAddress));
    m_address->setMaxLength(static_cast<int>(kMaxAddress));
    m_tcpPort = new QLineEdit(FromBytes(opened.tcpPort));
    m_tcpPort->setValidator(new QIntValidator(0, 65535, m_tcpPort));
    m_tcpPort->setMaxLength(5);
    m_tcpPort->setMaximumWidth(80);

    auto* group = new QGroupBox(QStringLiteral("TCP/IP"));
    auto* grid = new QGridLayout(group);
    auto* addressLabel = new QLabel(QStringLiteral("IP- or &WEB Address"));
    addressLabel->setBuddy(m_address);
    auto* portLabel = new QLabel(QStringLiteral("TCP/IP &Port:"));
    portLabel->setBuddy(m_tcpPort);
    grid->addWidget(addressLabel, 0, 0);
    grid->addWidget(m_address, 0, 1);
    grid->addWidget(portLabel, 1, 0);
    grid->addWidget(m_tcpPort, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    return group;
}

QGroupBox* CEinstellung::NewModemGroup(const ConnectionChoice& opened) {
    m_modemPort = NewPortBox(m_lists.modem, opened.modemPort);
    m_modemStatus = NewStatusLabel();
    m_modemConfigure = new QPushButton(QStringLiteral("Con&figure"));
    connect(m_modemConfigure, &QPushButton::clicked, this,
            [this] { Configure(LineSection::kModem); });
    m_modemSettings = new QPushButton(QStringLiteral("S&ettings"));
    connect(m_modemSettings, &QPushButton::clicked, this, &CEinstellung::ShowModemSettings);

    auto* parameters = new QGroupBox(QStringLiteral("Connection parameters"));
    auto* parametersLayout = new QHBoxLayout(parameters);
    parametersLayout->addWidget(m_modemSettings);
    parametersLayout->addStretch();

    auto* group = new QGroupBox(QStringLiteral("Modem port"));
    auto* grid = new QGridLayout(group);
    auto* label = new QLabel(QStringLiteral("COM - &Port:"));
    label->setBuddy(m_modemPort);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_modemPort, 0, 1);
    grid->addWidget(m_modemConfigure, 0, 2);
    grid->addWidget(m_modemStatus, 1, 1, 1, 2);
    grid->addWidget(parameters, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    return group;
}

QRadioButton& CEinstellung::TypeButton(ConnectionType type) const {
    return *m_types[static_cast<std::size_t>(Index(type))];
}

ConnectionType CEinstellung::ChosenType() const {
    for (std::size_t i = 0; i < m_types.size(); ++i)
        if (m_types[i]->isChecked()) return static_cast<ConnectionType>(i);
    return ConnectionType::kStoredDataOnly;
}

QGroupBox* CEinstellung::ShownGroup() const {
    return qobject_cast<QGroupBox*>(m_groups->currentWidget());
}

void CEinstellung::ShowChosenGroup() {
    const ConnectionType type = ChosenType();
    m_groups->setCurrentIndex(Index(type));
    m_reconnect->setText(type == ConnectionType::kStoredDataOnly ? QStringLiteral("&Read")
                                                                 : QStringLiteral("&Reconnect"));
}

void CEinstellung::ShowPortStatus() {
    m_serialStatus->setText(
        FromBytes(PortStatus(m_lists.serial, ToPath(m_serialPort->currentText()))));
    m_modemStatus->setText(
        FromBytes(PortStatus(m_lists.modem, ToPath(m_modemPort->currentText()))));
}

ConnectionChoice CEinstellung::Choice() const {
    ConnectionChoice choice;
    choice.type = ChosenType();
    choice.serialPort = ToPath(m_serialPort->currentText());
    choice.fixedBaud = m_fixedBaud->isChecked() ? 1 : 0;
    choice.tcpAddress = ToBytes(m_address->text());
    choice.tcpPort = ToBytes(m_tcpPort->text());
    choice.modemPort = ToPath(m_modemPort->currentText());
    return choice;
}

void CEinstellung::Close(DialogEnd end) {
    const ConnectionChoice choice = Choice();
    const bool saved = AcceptConnectionChoice(m_ui, m_caption, m_profile, m_stationFile, choice,
                                              m_lists, m_probe, end == DialogEnd::kAccept);
    // A port checked just now may have a problem to show.
    ShowPortStatus();
    if (!saved) return;
    m_result = {end, choice.type};
    QDialog::accept();
}

void CEinstellung::accept() { Close(DialogEnd::kAccept); }

void CEinstellung::Configure(LineSection section) {
    CKonfigurationComDlg dialog(m_profile, m_stationFile, section, m_ui, m_caption, this);
    dialog.exec();
}

void CEinstellung::ShowModemSettings() {
    CDlgModemSetts dialog(m_profile, m_stationFile, m_ui, m_caption, this);
    dialog.exec();
}

void CEinstellung::ShowConnectionOptions() {
    CDlgVerbOptionen dialog(m_profile, m_stationFile, m_openedType, m_processWide, m_ui, m_caption,
                            this);
    dialog.exec();
}
