#include "gui/comm/CBaudrate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ConnectionOptions.h"
#include "model/Colours.h"
#include "model/OutputList.h"

CBaudrate::CBaudrate(CDataBase& transport, SerialLineSettings line, AutoResetEvent& abort,
                     EventQueue& events, Clock& clock, Profile& profile, std::string stationFile,
                     QWidget* parent)
    : QDialog(parent),
      m_search(transport, std::move(line), abort, events),
      m_clock(clock),
      m_profile(profile),
      m_stationFile(std::move(stationFile)),
      m_text(new QLabel),
      m_cancel(new QPushButton(QStringLiteral("Cancel"))),
      m_grow(new QTimer(this)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    m_text->setText(QString::fromLatin1(BaudRateSearch::SearchingText(0).c_str()));
    // Room for the whole text, so the growing line does not move the window.
    const std::string_view whole = BaudRateSearch::kSearchingText;
    m_text->setMinimumWidth(m_text->fontMetrics().horizontalAdvance(QString::fromLatin1(
                                whole.data(), static_cast<qsizetype>(whole.size()))) +
                            8);
    auto* hint = new QLabel(QStringLiteral("This may take up to 40 seconds"));
    connect(m_cancel, &QPushButton::clicked, this, &CBaudrate::reject);
    m_cancel->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(hint);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_grow, &QTimer::timeout, this, [this] {
        m_text->setText(QString::fromLatin1(BaudRateSearch::SearchingText(++m_step).c_str()));
    });
}

CBaudrate::~CBaudrate() = default;

void CBaudrate::Start() {
    m_grow->start(static_cast<int>(BaudRateSearch::kTextStepMs));
    m_search.Start([this](bool found) { Ended(found); });
}

bool CBaudrate::Run() {
    Start();
    exec();
    return m_found;
}

void CBaudrate::Ended(bool found) {
    m_grow->stop();
    m_found = found;
    if (found &&
        !ConnectionOptions::StoreFoundBaudRate(m_profile, m_stationFile, m_search.Line().baudRate))
        OutputWrite("CBaudrate: " + m_stationFile + " could not be written", kColourError);
    done(found ? Accepted : Rejected);
}

void CBaudrate::reject() {
    m_grow->stop();
    m_search.Cancel(m_clock);
    m_found = false;
    QDialog::reject();
}
