#include "gui/comm/CRegenresetDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "app/CWetterDoc.h"
#include "app/StationCommands.h"

CRegenresetDlg::CRegenresetDlg(CWetterDoc& document, QWidget* parent)
    : QDialog(parent),
      m_document(document),
      m_hour(new QSpinBox),
      m_set(new QPushButton(QStringLiteral("&Set"))),
      m_accept(new QPushButton(QStringLiteral("&Accept"))) {
    setWindowTitle(QString::fromLatin1(kTitle));
    m_hour->setRange(0, 23);
    m_hour->setValue(std::clamp(document.Interpretation().resetHour, 0, 23));
    m_hour->setWrapping(true);

    // A still picture where the station's rain gauge would empty itself.
    auto* picture = new QLabel;
    picture->setPixmap(style()->standardIcon(QStyle::SP_BrowserReload).pixmap(32, 32));
    auto* label = new QLabel(QStringLiteral("&Time ( 0 - 23 o'clock ):"));
    label->setBuddy(m_hour);
    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addSpacing(8);
    row->addWidget(label);
    row->addWidget(m_hour);
    row->addWidget(new QLabel(QStringLiteral("Clock")));
    row->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->addButton(m_set, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_accept, QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRegenresetDlg::reject);
    connect(m_accept, &QPushButton::clicked, this, [this] {
        AcceptPrecipitationReset(m_document, m_hour->value());
        accept();
    });
    connect(m_set, &QPushButton::clicked, this, [this] {
        const int hour = m_hour->value();
        accept();
        SetPrecipitationReset(m_document, hour);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    m_accept->setDefault(true);
    m_hour->setFocus();
}
