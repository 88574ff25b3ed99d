#pragma once

// CWetterView is a station's diagram view.

#include <QWidget>

#include "app/DocumentView.h"

class CWetterDoc;

// The diagram view of a station; for now a placeholder that names the station's data folder.
class CWetterView final : public QWidget, public DocumentView {
    Q_OBJECT
public:
    explicit CWetterView(CWetterDoc& document, QWidget* parent = nullptr);
    ~CWetterView() override;

    CWetterDoc& Document() const { return m_document; }

    void ReloadData() override;
    void DropSensor(const std::string& identifier) override;
    void UpdateView() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CWetterDoc& m_document;
};
