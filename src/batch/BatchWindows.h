#pragma once
// The two batch windows: US National Grid to latitude/longitude
// (frmdatabase) and latitude/longitude to US National Grid (frmbatLLtoUSNG).

#include "platform/Services.h"

#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class QLabel;

namespace Ui {
class frmdatabase;
class frmbatLLtoUSNG;
}  // namespace Ui

namespace waypost::batch {

class TableImportPanel;

/// The instructions each window shows under "Procedures:".
QString usngToLatLongProcedures();
QString latLongToUsngProcedures();

/// Tables and Fields: a column of US National Grid references turned into
/// latitude and longitude columns.
class frmdatabase final : public QWidget {
    Q_OBJECT
public:
    explicit frmdatabase(const Services& services, QWidget* parent = nullptr);
    ~frmdatabase() override;
    TableImportPanel& panel() { return *m_panel; }

signals:
    /// A run has ended (its message shown).
    void runFinished();

private:
    void cmdConUSNG_Click();

    std::unique_ptr<Ui::frmdatabase> m_ui;
    Services m_services;
    TableImportPanel* m_panel;
};

/// Tables and Fields: latitude and longitude columns turned into a column of
/// US National Grid references.
class frmbatLLtoUSNG final : public QWidget {
    Q_OBJECT
public:
    explicit frmbatLLtoUSNG(const Services& services, QWidget* parent = nullptr);
    ~frmbatLLtoUSNG() override;
    TableImportPanel& panel() { return *m_panel; }

signals:
    /// A run has ended (its message shown).
    void runFinished();

private:
    void cmdConUSNG_Click();

    void setShapefileOption(bool create);
    void cmdEnableHem_Click();

    std::unique_ptr<Ui::frmbatLLtoUSNG> m_ui;
    Services m_services;
    TableImportPanel* m_panel;
};

}  // namespace waypost::batch
