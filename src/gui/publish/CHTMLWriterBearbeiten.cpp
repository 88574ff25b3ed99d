#include "gui/publish/CHTMLWriterBearbeiten.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/ui/Text.h"
#include "platform/FileStore.h"
#include "platform/Ui.h"

namespace {

// A text field shows lines with LF only; the core turns them back into CR LF.
QString ShownText(const std::string& bytes) {
    return FromBytes(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QPlainTextEdit* NewTextField() {
    auto* field = new QPlainTextEdit;
    field->setTabChangesFocus(true);
    field->setLineWrapMode(QPlainTextEdit::NoWrap);
    return field;
}

QPushButton* MoveButton(const char* text, const char* tip) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    button->setToolTip(QString::fromLatin1(tip));
    button->setAutoDefault(false);
    return button;
}

QStringList Names(const QListWidget& list) {
    QStringList names;
    for (int row = 0; row < list.count(); ++row) names << list.item(row)->text();
    return names;
}

}  // namespace

CHTMLWriterBearbeiten::CHTMLWriterBearbeiten(FileStore& files, std::string path,
                                             std::vector<std::string> sensorNames, Ui& ui,
                                             std::string caption, QWidget* parent)
    : QDialog(parent),
      m_files(files),
      m_path(std::move(path)),
      m_ui(ui),
      m_caption(std::move(caption)),
      m_location(NewTextField()),
      m_text(NewTextField()),
      m_picture(new QLineEdit),
      m_pictureButton(new QPushButton(QStringLiteral("..."))),
      m_available(new QListWidget),
      m_selected(new QListWidget),
      m_add(MoveButton(">", "Add the marked sensor")),
      m_addAll(MoveButton(">>", "Add all sensors")),
      m_remove(MoveButton("<", "Remove the marked sensor")),
      m_removeAll(MoveButton("<<", "Remove all sensors")) {
    setWindowTitle(QString::fromLatin1(kTitle));

    m_pictureButton->setAutoDefault(false);
    m_pictureButton->setFixedWidth(m_pictureButton->sizeHint().height() + 8);
    m_pictureButton->setToolTip(QStringLiteral("Choose a picture"));
    m_picture->setPlaceholderText(QStringLiteral("no picture"));
    m_picture->setClearButtonEnabled(true);

    // Page texts on the left.
    auto* location = new QLabel(QStringLiteral("&Location:"));
    location->setBuddy(m_location);
    auto* text = new QLabel(QStringLiteral("&Text:"));
    text->setBuddy(m_text);
    auto* picture = new QLabel(QStringLiteral("&Picture (.jpg):"));
    picture->setBuddy(m_picture);
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(m_picture, 1);
    pictureRow->addWidget(m_pictureButton);
    auto* texts = new QVBoxLayout;
    texts->addWidget(location);
    texts->addWidget(m_location, 1);
    texts->addSpacing(4);
    texts->addWidget(picture);
    texts->addLayout(pictureRow);
    texts->addSpacing(4);
    texts->addWidget(text);
    texts->addWidget(m_text, 1);

    // The sensors on the right: available, the move buttons, selected.
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QPushButton* button : {m_add, m_addAll, m_remove, m_removeAll}) {
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral(">>")) + 28);
        moves->addWidget(button);
    }
    moves->addStretch();
    for (QListWidget* list : {m_available, m_selected}) {
        list->setMinimumWidth(150);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    auto* available = new QLabel(QStringLiteral("&Available sensors:"));
    available->setBuddy(m_available);
    auto* selected = new QLabel(QStringLiteral("S&elected sensors:"));
    selected->setBuddy(m_selected);
    auto* sensors = new QGridLayout;
    sensors->addWidget(available, 0, 0);
    sensors->addWidget(selected, 0, 2);
    sensors->addWidget(m_available, 1, 0);
    sensors->addLayout(moves, 1, 1);
    sensors->addWidget(m_selected, 1, 2);
    sensors->setRowStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CHTMLWriterBearbeiten::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CHTMLWriterBearbeiten::reject);

    auto* columns = new QHBoxLayout;
    columns->addLayout(texts, 1);
    columns->addSpacing(8);
    columns->addLayout(sensors, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    connect(m_add, &QPushButton::clicked, this, [this] { Move(*m_available, *m_selected, false); });
    connect(m_addAll, &QPushButton::clicked, this,
            [this] { Move(*m_available, *m_selected, true); });
    connect(m_remove, &QPushButton::clicked, this,
            [this] { Move(*m_selected, *m_available, false); });
    connect(m_removeAll, &QPushButton::clicked, this,
            [this] { Move(*m_selected, *m_available, true); });
    connect(m_available, &QListWidget::itemDoubleClicked, this,
            [this] { Move(*m_available, *m_selected, false); });
    connect(m_selected, &QListWidget::itemDoubleClicked, this,
            [this] { Move(*m_selected, *m_available, false); });
    connect(m_pictureButton, &QPushButton::clicked, this, &CHTMLWriterBearbeiten::ChoosePicture);

    setTabOrder(m_location, m_picture);
    setTabOrder(m_picture, m_pictureButton);
    setTabOrder(m_pictureButton, m_text);
    setTabOrder(m_text, m_available);
    setTabOrder(m_available, m_add);
    setTabOrder(m_add, m_addAll);
    setTabOrder(m_addAll, m_remove);
    setTabOrder(m_remove, m_removeAll);
    setTabOrder(m_removeAll, m_selected);

    HtmlSettings settings;
    if (const FileStore::Result read = LoadHtmlSettings(m_files, m_path, settings); !read)
        m_ui.MessageBox("HTML.ini couldn't be read: " + FileSystem::SystemErrorText(read.error),
                        m_caption, MsgButtons::Ok, MsgIcon::Warning);
    Show(settings, sensorNames);
    m_location->setFocus();
    resize(680, 460);
}

void CHTMLWriterBearbeiten::Show(const HtmlSettings& settings,
                                 const std::vector<std::string>& sensorNames) {
    m_location->setPlainText(ShownText(settings.location));
    m_text->setPlainText(ShownText(settings.text));
    m_picture->setText(FromPath(settings.picture));
    for (const std::string& name : settings.sensors) m_selected->addItem(FromBytes(name));
    for (const std::string& name : AvailableHtmlSensors(sensorNames, settings.sensors))
        m_available->addItem(FromBytes(name));
    m_available->setCurrentRow(0);
    m_selected->setCurrentRow(0);
    UpdateButtons();
}

HtmlSettings CHTMLWriterBearbeiten::Settings() const {
    HtmlSettings settings;
    settings.location = ToBytes(m_location->toPlainText());
    settings.text = ToBytes(m_text->toPlainText());
    settings.picture = ToPath(m_picture->text().trimmed());
    for (const QString& name : Names(*m_selected)) settings.sensors.push_back(ToBytes(name));
    return settings;
}

void CHTMLWriterBearbeiten::Move(QListWidget& from, QListWidget& to, bool all) {
    if (all) {
        while (from.count() > 0) to.addItem(from.takeItem(0));
    } else {
        const int row = from.currentRow();
        if (row < 0) return;
        to.addItem(from.takeItem(row));
        to.setCurrentRow(to.count() - 1);
        from.setCurrentRow(std::min(row, from.count() - 1));
    }
    if (to.currentRow() < 0) to.setCurrentRow(0);
    UpdateButtons();
}

void CHTMLWriterBearbeiten::ChoosePicture() {
    // Cancel keeps the picture; the field's clear button removes it.
    if (const auto path =
            m_ui.ChooseFileOfType(std::string(), ToPath(m_picture->text()), kPictureFilter))
        m_picture->setText(FromPath(*path));
}

void CHTMLWriterBearbeiten::UpdateButtons() {
    const bool available = m_available->count() > 0;
    const bool selected = m_selected->count() > 0;
    m_add->setEnabled(available);
    m_addAll->setEnabled(available);
    m_remove->setEnabled(selected);
    m_removeAll->setEnabled(selected);
}

void CHTMLWriterBearbeiten::accept() {
    if (const FileStore::Result saved = SaveHtmlSettings(m_files, m_path, Settings()); !saved) {
        m_ui.MessageBox("HTML.ini couldn't be written: " + FileSystem::SystemErrorText(saved.error),
                        m_caption, MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    QDialog::accept();
}
