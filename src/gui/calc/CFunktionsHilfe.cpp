#include "gui/calc/CFunktionsHilfe.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "calc/FormulaCheck.h"
#include "gui/ui/Text.h"
#include "platform/Ui.h"

CFunktionsHilfe::CFunktionsHilfe(Ui& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setWindowTitle(QString::fromLatin1(kTitle));

    m_functions = new QListWidget;
    for (std::size_t i = 0; i < FormulaCheck::kFunctionHelp.size(); ++i) {
        auto* item = new QListWidgetItem(FromBytes(FormulaCheck::kFunctionHelp[i].name));
        item->setData(Qt::UserRole, static_cast<int>(i));
        m_functions->addItem(item);
    }
    m_functions->setSortingEnabled(true);
    m_functions->sortItems();

    m_syntax = new QLabel;
    QFont bold(QStringLiteral("Arial"));
    bold.setPixelSize(15);
    bold.setWeight(QFont::Bold);
    m_syntax->setFont(bold);
    m_syntax->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_description = new QLabel;
    // Wide enough for every text from the start: the window keeps its size while choosing.
    int widest = 0;
    for (const FormulaCheck::FunctionHelp& help : FormulaCheck::kFunctionHelp) {
        widest = std::max(widest, m_description->fontMetrics().horizontalAdvance(FromBytes(help.description)));
        widest = std::max(widest, QFontMetrics(bold).horizontalAdvance(FromBytes(help.syntax)));
    }
    m_description->setMinimumWidth(widest);
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_description->setMinimumHeight(2 * m_description->fontMetrics().lineSpacing());

    auto* buttons = new QDialogButtonBox;
    QPushButton* insert = buttons->addButton(QStringLiteral("&Insert"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFunktionsHilfe::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFunktionsHilfe::reject);
    connect(m_functions, &QListWidget::itemSelectionChanged, this, &CFunktionsHilfe::ShowFunction);
    connect(m_functions, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_functions->setCurrentItem(item);
        ShowFunction();
        accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_functions, 1);
    layout->addWidget(m_syntax);
    layout->addWidget(m_description);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    insert->setDefault(true);
    m_functions->setFocus();
}

void CFunktionsHilfe::ShowFunction() {
    // Focus alone makes an item current without choosing it.
    const QListWidgetItem* item = m_functions->currentItem();
    if (item == nullptr || !item->isSelected()) return;
    m_shown = static_cast<std::size_t>(item->data(Qt::UserRole).toInt());
    const FormulaCheck::FunctionHelp& help = FormulaCheck::kFunctionHelp[*m_shown];
    m_syntax->setText(FromBytes(help.syntax));
    m_description->setText(FromBytes(help.description));
}

std::optional<std::string_view> CFunktionsHilfe::ChosenSyntax() const {
    if (!m_shown) return std::nullopt;
    return FormulaCheck::kFunctionHelp[*m_shown].syntax;
}

void CFunktionsHilfe::accept() {
    if (!m_shown) {
        m_ui.MessageBox(FormulaCheck::kNoFunctionSelected, ToBytes(windowTitle()),
                        MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    QDialog::accept();
}
