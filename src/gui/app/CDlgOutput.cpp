#include "gui/app/CDlgOutput.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ui/ColourValue.h"
#include "gui/ui/Text.h"
#include "model/OutputList.h"

CDlgOutput::CDlgOutput(QWidget* parent) : QDialog(parent), m_list(new QListWidget(this)) {
    setWindowTitle("Output");
    setModal(false);
    resize(560, 360);
    // Each entry as high as its lines and as wide as its text: scrolled to, not cut.
    m_list->setUniformItemSizes(false);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* update = new QPushButton("Update", this);
    auto* copy = new QPushButton("Copy to clipboard", this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    // Return in the list must not close the window.
    update->setAutoDefault(false);
    copy->setAutoDefault(false);

    auto* row = new QHBoxLayout;
    row->addWidget(update);
    row->addWidget(copy);
    row->addStretch();
    row->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(row);

    connect(update, &QPushButton::clicked, this, &CDlgOutput::Fill);
    connect(copy, &QPushButton::clicked, this, &CDlgOutput::CopyToClipboard);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

CDlgOutput::~CDlgOutput() = default;

void CDlgOutput::Fill() {
    m_list->clear();
    for (const tagOutpElm& line : OutputList::Process().Snapshot()) {
        auto* item = new QListWidgetItem(FromBytes(line.text), m_list);
        item->setForeground(ToQColor(line.colour));
    }
    m_list->scrollToBottom();
}

void CDlgOutput::CopyToClipboard() {
    QGuiApplication::clipboard()->setText(FromBytes(OutputList::Process().ClipboardText()));
}
