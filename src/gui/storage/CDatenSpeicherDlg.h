#pragma once

// CDatenSpeicherDlg ("data storage") is the "Data storage" dialog.

#include <QDialog>
#include <map>
#include <string>

#include "storage/StorageOptions.h"

class CWetterDoc;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class Ui;

// The station type, the storing mode, the storage identifier, storing virtual
// sensors and the layout of the additional files. The layout boxes change the
// station's layout at each click; Accept writes the rest.
class CDatenSpeicherDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Data storage";

    CDatenSpeicherDlg(CWetterDoc& document, Ui& ui, std::string caption,
                      QWidget* parent = nullptr);

    void accept() override;

    QRadioButton& WithLogger() const { return *m_withLogger; }
    QRadioButton& WithoutLogger() const { return *m_withoutLogger; }
    QRadioButton& Synchronous() const { return *m_synchronous; }
    QRadioButton& NotSynchronous() const { return *m_notSynchronous; }
    QLineEdit& StorageIdField() const { return *m_storageId; }
    QCheckBox& VirtualSensorsBox() const { return *m_virtualSensors; }
    QCheckBox& FormatBox(StorageOptions::FormatOption option) const {
        return *m_formatBoxes.at(option);
    }
    QLineEdit& ExtensionField() const { return *m_extension; }

private:
    StorageOptions::DataStorageChoice Choice() const;
    void UpdateStoringGroup();

    CWetterDoc& m_document;
    Ui& m_ui;
    std::string m_caption;
    QRadioButton* m_withLogger;
    QRadioButton* m_withoutLogger;
    QGroupBox* m_storing;
    QRadioButton* m_synchronous;
    QRadioButton* m_notSynchronous;
    QLineEdit* m_storageId;
    QCheckBox* m_virtualSensors;
    std::map<StorageOptions::FormatOption, QCheckBox*> m_formatBoxes;
    QLineEdit* m_extension;
};
