#include "gui/comm/CDlgOrtshoehe.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "app/StationCommands.h"
#include "gui/ui/Text.h"
#include "platform/Ui.h"

CDlgOrtshoehe::CDlgOrtshoehe(CWetterDoc& document, Ui& ui, std::string caption, QWidget* parent)
    : QDialog(parent),
      m_document(document),
      m_ui(ui),
      m_caption(std::move(caption)),
      m_altitude(new QLineEdit),
      m_atStartup(new QCheckBox(QStringLiteral("Set altitude at &startup"))),
      m_set(new QPushButton(QStringLiteral("SET"))),
      m_linkCheck(new QTimer(this)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    const AltitudeSetting stored =
        ReadAltitude(document.Context().profile, document.StationFile());
    // A stored text that is no altitude (edited by hand) is shown empty rather than refused.
    m_accepted = IsAltitudeText(stored.metres) ? FromBytes(stored.metres) : QString();
    m_altitude->setText(m_accepted);
    m_altitude->setAlignment(Qt::AlignRight);
    m_altitude->setMaximumWidth(m_altitude->fontMetrics().horizontalAdvance(QStringLiteral("99999")) + 16);
    m_atStartup->setChecked(stored.atStartup);

    auto* label = new QLabel(QStringLiteral("&Altitude:"));
    label->setBuddy(m_altitude);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_altitude);
    row->addWidget(new QLabel(QStringLiteral("m ")));
    row->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->addButton(m_set, QDialogButtonBox::ApplyRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgOrtshoehe::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_atStartup);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    m_set->setDefault(true);

    connect(m_altitude, &QLineEdit::textEdited, this, &CDlgOrtshoehe::TakeEdit);
    connect(m_set, &QPushButton::clicked, this, &CDlgOrtshoehe::Set);
    // Only a click changes the setting; the box was filled before this connect.
    connect(m_atStartup, &QCheckBox::toggled, this, &CDlgOrtshoehe::SetAtStartup);
    // A link may open or go while the dialog is open.
    connect(m_linkCheck, &QTimer::timeout, this, &CDlgOrtshoehe::ShowLinkState);
    m_linkCheck->start(500);
    ShowLinkState();
    m_altitude->setFocus();
    m_altitude->selectAll();
}

void CDlgOrtshoehe::ShowLinkState() {
    const bool linked = StationLinkOpen(m_document.Context().process);
    m_set->setEnabled(linked);
    m_set->setToolTip(linked ? QString()
                             : QStringLiteral("No station is connected: the altitude is kept "
                                              "for the next connect."));
}

void CDlgOrtshoehe::TakeEdit(const QString& text) {
    if (IsAltitudeText(ToBytes(text))) {
        m_accepted = text;
        // Nothing else could take it now; an empty field is no altitude yet.
        if (!text.isEmpty() && !StationLinkOpen(m_document.Context().process))
            StoreAltitude(m_document.Context().profile, m_document.StationFile(), ToBytes(text));
        return;
    }
    const int cursor = std::max(0, m_altitude->cursorPosition() - 1);
    m_altitude->setText(m_accepted);
    m_altitude->setCursorPosition(std::min(cursor, static_cast<int>(m_accepted.size())));
    // Anything but a fifth digit is simply not taken.
    if (text.size() > 4)
        m_ui.MessageBox(kAltitudeTooHigh, m_caption, MsgButtons::Ok, MsgIcon::Information);
}

void CDlgOrtshoehe::Set() {
    AppContext& context = m_document.Context();
    SetAltitude(context.process, context.profile, m_document.StationFile(),
                ToBytes(m_altitude->text()));
}

void CDlgOrtshoehe::SetAtStartup(bool on) {
    AppContext& context = m_document.Context();
    SetAltitudeAtStartup(context.process, context.profile, m_document.StationFile(),
                         ToBytes(m_altitude->text()), on);
}
