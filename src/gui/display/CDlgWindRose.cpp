#include "gui/display/CDlgWindRose.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "display/Windrose.h"
#include "gui/display/CWindroseCtrl.h"
#include "gui/ui/Text.h"

CDlgWindRose::CDlgWindRose(const WindRoseSettings& settings, const SensorSet& sensors,
                           QWidget* parent)
    : QWidget(parent, Qt::Tool), m_settings(settings), m_control(new CWindroseCtrl) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(FromBytes(WindroseCaption(m_settings, sensors)));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(m_control);
    resize(280, 280);
}

void CDlgWindRose::Update(const DiagramPeriod& period, const SensorSet& sensors) {
    m_control->SetValues(WindroseUpdate(m_settings, period, sensors));
}

void CDlgWindRose::closeEvent(QCloseEvent* event) {
    event->accept();
    emit Closed(this);
}
