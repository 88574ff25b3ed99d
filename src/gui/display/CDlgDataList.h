#pragma once

// CDlgDataList is the data table window of a diagram view ("View list").

#include <QWidget>
#include <optional>
#include <span>
#include <string>

#include "display/DataList.h"

class QPrinter;
class QTableWidget;
class Ui;

// A window with the view's data as a table, one row per point in time and one
// column per displayed sensor, which saves it as a separated-values file and
// prints it. The rules are DataList's.
class CDlgDataList final : public QWidget {
    Q_OBJECT
public:
    // `caption`: the message boxes' caption; `saveFolder`: where the file dialog opens.
    CDlgDataList(Ui& ui, std::string caption, QWidget* parent);
    ~CDlgDataList() override;

    void SetSaveFolder(std::string folder) { m_saveFolder = std::move(folder); }
    // Builds the table anew from the view's windows (display order).
    void Fill(std::span<const DataListWindow> windows);
    const DataList& List() const { return m_list; }
    QTableWidget& TableControl() const { return *m_table; }

    // "Save": the file dialog, then the file; false when cancelled or failed.
    bool Save();
    // Writes the file; a failure is shown with the system's text.
    bool SaveTo(const std::string& path);
    // The list on the printer, header repeated on every page; false with a message when it fails.
    bool Print(QPrinter& printer);

private:
    void PrintWithDialog();

    Ui& m_ui;
    std::string m_caption;
    std::string m_saveFolder;
    DataList m_list;
    QTableWidget* m_table;
};
