#pragma once

// CHTMLWriterBearbeiten ("edit the HTML writer") is the HTML configuration dialog.

#include <QDialog>
#include <string>
#include <vector>

#include "publish/HtmlSettings.h"

class FileStore;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class Ui;

// "HTML Ausgabe konfigurieren": the location text, the chosen sensors, the
// picture and the free text of HTML.ini. It opens with what the file holds and
// writes it through the core's settings functions on OK.
class CHTMLWriterBearbeiten final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "HTML Ausgabe konfigurieren";
    static constexpr const char* kPictureFilter = "JPEG Datei(en)|*.jpg|";

    // `sensorNames` are the names the station offers (HtmlSensorNames);
    // `caption` titles the messages.
    CHTMLWriterBearbeiten(FileStore& files, std::string path, std::vector<std::string> sensorNames,
                          Ui& ui, std::string caption, QWidget* parent = nullptr);

    // The fields as the controls hold them now.
    HtmlSettings Settings() const;

    // OK: writes HTML.ini; a failure is shown and the dialog stays open.
    void accept() override;

    // The controls, for tests.
    QPlainTextEdit& LocationField() const { return *m_location; }
    QPlainTextEdit& TextField() const { return *m_text; }
    QLineEdit& PictureField() const { return *m_picture; }
    QPushButton& PictureButton() const { return *m_pictureButton; }
    QListWidget& AvailableList() const { return *m_available; }
    QListWidget& SelectedList() const { return *m_selected; }
    QPushButton& AddButton() const { return *m_add; }
    QPushButton& AddAllButton() const { return *m_addAll; }
    QPushButton& RemoveButton() const { return *m_remove; }
    QPushButton& RemoveAllButton() const { return *m_removeAll; }

private:
    void Show(const HtmlSettings& settings, const std::vector<std::string>& sensorNames);
    void Move(QListWidget& from, QListWidget& to, bool all);
    void ChoosePicture();
    void UpdateButtons();

    FileStore& m_files;
    std::string m_path;
    Ui& m_ui;
    std::string m_caption;
    QPlainTextEdit* m_location;
    QPlainTextEdit* m_text;
    QLineEdit* m_picture;
    QPushButton* m_pictureButton;
    QListWidget* m_available;
    QListWidget* m_selected;
    QPushButton* m_add;
    QPushButton* m_addAll;
    QPushButton* m_remove;
    QPushButton* m_removeAll;
};
