#pragma once

// COrbset is the sensor-properties dialog "Orbset".

#include <QDialog>
#include <functional>
#include <string>

#include "app/OrbsetForm.h"
#include "gui/calc/CNewORB.h"

class CWetterDoc;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;
class Ui;

// A station's sensors in two lists, the station's own and the virtual ones,
// with the colour of the selected sensor. A station sensor is edited in
// CNewORB; virtual sensors are defined and edited by the hooks below and
// deleted here. The rules are OrbsetForm's.
class COrbset final : public QDialog {
    Q_OBJECT
public:
    // Defines a new virtual sensor (empty identifier) or edits one; true when
    // the station's virtual sensors changed. Unset: the buttons are disabled.
    using VirtualSensorHook = std::function<bool(QWidget* parent, const std::string& identifier)>;

    // `caption` titles the messages.
    COrbset(CWetterDoc& document, Ui& ui, std::string caption, QWidget* parent = nullptr);

    // The hooks to other windows; set them before the dialog is shown.
    void SetVirtualSensorHooks(VirtualSensorHook define, VirtualSensorHook edit);
    void SetUnitChooser(CNewORB::ChooseUnit chooseUnit) { m_chooseUnit = std::move(chooseUnit); }
    void SetWindRoseEditor(CNewORB::EditWindRose edit) { m_editWindRose = std::move(edit); }

    // Runs "Definition of sensors" modally; tests replace it to drive that dialog.
    std::function<bool(CNewORB&)> runSensorDialog;

    // The controls, for tests.
    QTableWidget& StationList() const { return *m_stationList; }
    QTableWidget& VirtualList() const { return *m_virtualList; }
    QPushButton& EditButton() const { return *m_edit; }
    QPushButton& DefineButton() const { return *m_define; }
    QPushButton& EditVirtualButton() const { return *m_editVirtual; }
    QPushButton& DeleteButton() const { return *m_delete; }
    QPushButton& OkButton() const { return *m_ok; }
    QLabel& ColourField() const { return *m_colourField; }
    const OrbsetForm& Form() const { return m_form; }

    // Enter edits the selected sensor of the list used last.
    void EditLastUsed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTableWidget* NewList();
    void Fill(QTableWidget& list, const std::vector<OrbsetForm::Row>& rows,
              const std::optional<std::string>& selection);
    void RefillStation();
    void RefillVirtual();
    void SelectionChanged(OrbsetForm::List list);
    void UpdateButtons();
    void ShowColour();
    void EditStationSensor();
    void DefineVirtualSensor();
    void EditVirtualSensor();
    void DeleteVirtualSensor();

    CWetterDoc& m_document;
    OrbsetForm m_form;
    Ui& m_ui;
    std::string m_caption;
    VirtualSensorHook m_defineVirtual;
    VirtualSensorHook m_editVirtualHook;
    CNewORB::ChooseUnit m_chooseUnit;
    CNewORB::EditWindRose m_editWindRose;
    QTableWidget* m_stationList;
    QTableWidget* m_virtualList;
    QPushButton* m_edit;
    QPushButton* m_define;
    QPushButton* m_editVirtual;
    QPushButton* m_delete;
    QPushButton* m_ok;
    QLabel* m_colourField;
};
