#include "gui/display/CSensorDialog.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/ui/ColourValue.h"
#include "gui/ui/Text.h"
#include "model/CSensoren.h"
#include "platform/Ui.h"

namespace {

constexpr SensorRow kRows[] = {SensorRow::kMaximum,  SensorRow::kMinimum, SensorRow::kAverage,
                               SensorRow::kTendency, SensorRow::kSum,     SensorRow::kActivity};

constexpr int kSettleMs = 500;

QFont ValueFont(bool cursor) {
    QFont font("Arial");
    font.setBold(true);
    font.setPixelSize(cursor ? 12 : 25);
    return font;
}

// Dark text on light curve colours, light text on dark ones.
QColor TextOn(const QColor& background) {
    return background.lightness() > 140 ? QColor(Qt::black) : QColor(Qt::white);
}

}  // namespace

CSensorDialog::CSensorDialog(int key, const CSensoren* sensor, Ui& ui, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_model(key, sensor), m_ui(ui) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_value = new QLabel;
    m_value->setAlignment(Qt::AlignCenter);
    m_value->setAutoFillBackground(true);
    m_value->setMinimumHeight(44);
    m_value->setMinimumWidth(170);
    m_value->setCursor(Qt::PointingHandCursor);
    m_value->setToolTip("Click to choose the curve colour");
    m_value->installEventFilter(this);

    m_collapse = new QToolButton(m_value);
    m_collapse->setText("_");
    m_collapse->setAutoRaise(true);
    m_collapse->setToolTip("Smaller window");
    connect(m_collapse, &QToolButton::clicked, this, &CSensorDialog::CycleCollapseState);

    auto* rows = new QGridLayout;
    rows->setHorizontalSpacing(8);
    rows->setVerticalSpacing(2);
    int line = 0;
    for (SensorRow row : kRows) {
        auto* label = new QLabel(SensorWindowModel::RowLabel(row));
        auto* text = new QLabel;
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        rows->addWidget(label, line, 0, Qt::AlignTop);
        rows->addWidget(text, line, 1);
        m_rows[row] = {label, text};
        ++line;
    }
    rows->setColumnStretch(1, 1);

    m_sliders = new QGroupBox;
    auto* sliders = new QGridLayout(m_sliders);
    m_yScale = new QSlider(Qt::Horizontal);
    m_yScale->setRange(SensorWindowModel::kYScaleMin, SensorWindowModel::kYScaleMax);
    m_offset = new QSlider(Qt::Horizontal);
    m_offset->setRange(SensorWindowModel::kOffsetMin, SensorWindowModel::kOffsetMax);
    sliders->addWidget(new QLabel("Y-Scale:"), 0, 0);
    sliders->addWidget(m_yScale, 0, 1);
    sliders->addWidget(new QLabel("Graph offset:"), 1, 0);
    sliders->addWidget(m_offset, 1, 1);
    connect(m_yScale, &QSlider::valueChanged, this, [this](int value) {
        m_model.SetYScale(value);
        emit CurveChanged();
    });
    connect(m_offset, &QSlider::valueChanged, this, [this](int value) {
        m_model.SetGraphOffset(value);
        emit CurveChanged();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(m_value);
    layout->addLayout(rows);
    layout->addWidget(m_sliders);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    AttachSensor(sensor);
}

void CSensorDialog::AttachSensor(const CSensoren* sensor) {
    m_model.AttachSensor(sensor);
    setWindowTitle(FromBytes(m_model.Name()));
    LayOutRows();
    ShowTexts();
}

void CSensorDialog::UpdateDisplay(const SensorWindowSource& source) {
    m_model.UpdateDisplay(source);
    ShowTexts();
}

void CSensorDialog::ShowCursorValue(const std::optional<CDaten>& point, int dataMode) {
    m_model.ShowCursorValue(point, dataMode);
    ShowTexts();
}

void CSensorDialog::CycleCollapseState() {
    m_model.CycleCollapseState();
    LayOutRows();
}

void CSensorDialog::SetOpacity(int percent) {
    m_model.SetOpacity(percent);
    // Only a translucent window asks the window system for transparency.
    if (m_model.Opacity() < 100 || windowOpacity() < 1.0)
        setWindowOpacity(m_model.OpacityAlpha() / 255.0);
}

QString CSensorDialog::RowText(SensorRow row) const { return m_rows.at(row).second->text(); }

void CSensorDialog::ShowTexts() {
    m_value->setFont(ValueFont(m_model.CursorShown()));
    m_value->setText(FromBytes(m_model.ValueText()));
    QPalette palette = m_value->palette();
    const QColor colour = ToQColor(m_model.CurveColour());
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, TextOn(colour));
    m_value->setPalette(palette);
    palette.setColor(QPalette::ButtonText, TextOn(colour));
    m_collapse->setPalette(palette);
    for (auto& [row, widgets] : m_rows) widgets.second->setText(FromBytes(m_model.RowText(row)));
    const QSignalBlocker blockScale(m_yScale);
    const QSignalBlocker blockOffset(m_offset);
    m_yScale->setValue(m_model.YScale());
    m_offset->setValue(m_model.GraphOffset());
    layout()->activate();
    adjustSize();
    m_collapse->move(m_value->width() - m_collapse->sizeHint().width() - 1, 1);
}

void CSensorDialog::LayOutRows() {
    const std::vector<SensorRow> visible = m_model.VisibleRows();
    const int state = m_model.CollapseState();
    for (auto& [row, widgets] : m_rows) {
        const bool shown =
            state != 2 && std::find(visible.begin(), visible.end(), row) != visible.end();
        widgets.first->setVisible(shown);
        widgets.second->setVisible(shown);
    }
    m_sliders->setVisible(state == 0);
    layout()->activate();
    adjustSize();
    m_collapse->move(m_value->width() - m_collapse->sizeHint().width() - 1, 1);
}

void CSensorDialog::ChooseColour() {
    if (std::optional<std::uint32_t> colour = m_ui.ChooseColour(m_model.CurveColour())) {
        m_model.SetCurveColour(*colour);
        ShowTexts();
        emit CurveChanged();
    }
}

bool CSensorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_value && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ChooseColour();
        return true;
    }
    if (watched == m_value && event->type() == QEvent::Resize)
        m_collapse->move(m_value->width() - m_collapse->sizeHint().width() - 1, 1);
    return QWidget::eventFilter(watched, event);
}

void CSensorDialog::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Window managers activate a window as it appears; only a person's choice
    // may move its sensor to the left axis.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_shownFor.isValid() &&
        m_shownFor.elapsed() > kSettleMs)
        emit Activated(m_model.Key());
}

void CSensorDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_shownFor.start();
}

void CSensorDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    emit Closed(m_model.Key());
}

void CSensorDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QMenu* opacity = menu.addMenu("Deckkraft");
    for (int percent = SensorWindowModel::kOpacityMax; percent >= SensorWindowModel::kOpacityMin;
         percent -= 10) {
        QAction* action = opacity->addAction(QString("%1%").arg(percent));
        action->setCheckable(true);
        action->setChecked(percent == m_model.Opacity());
        connect(action, &QAction::triggered, this, [this, percent] { SetOpacity(percent); });
    }
    menu.exec(event->globalPos());
}
