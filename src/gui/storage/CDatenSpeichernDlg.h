#pragma once

// CDatenSpeichernDlg ("save data") is the "Write / Read options" dialog.

#include <QDialog>
#include <string>

#include "storage/StorageOptions.h"

class CWetterDoc;
class QLineEdit;
class QPushButton;
class QSpinBox;
class Ui;

// The data folder, the additional folder and the storage interval of a
// station, with "Configure data storage" for the rest of the storage layout.
// Accept checks and writes them; the document then loads its settings again.
class CDatenSpeichernDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Write / Read options";
    static constexpr const char* kChooseFolder = "Choose diretcory:";

    // `caption` titles the messages.
    CDatenSpeichernDlg(CWetterDoc& document, Ui& ui, std::string caption,
                       QWidget* parent = nullptr);

    void accept() override;

    QLineEdit& DataFolderField() const { return *m_dataFolder; }
    QLineEdit& AdditionalFolderField() const { return *m_additionalFolder; }
    QSpinBox& IntervalField() const { return *m_interval; }
    QPushButton& DataFolderButton() const { return *m_dataBrowse; }
    QPushButton& AdditionalFolderButton() const { return *m_additionalBrowse; }
    QPushButton& ConfigureButton() const { return *m_configure; }

private:
    StorageOptions::WriteReadOptions Entered() const;
    void Browse(QLineEdit& field);
    void ConfigureDataStorage();

    CWetterDoc& m_document;
    Ui& m_ui;
    std::string m_caption;
    StorageOptions::WriteReadOptions m_opened;
    QLineEdit* m_dataFolder;
    QLineEdit* m_additionalFolder;
    QSpinBox* m_interval;
    QPushButton* m_dataBrowse;
    QPushButton* m_additionalBrowse;
    QPushButton* m_configure;
};
