#pragma once
// The import and listing commands both batch windows carry: dBase, text and
// workbook imports, the table listing (SQLite, GeoPackage, Access, dBase),
// the single-tick lists and the field listing.

#include "batch/TableImport.h"
#include "platform/Services.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace waypost::batch {

/// The controls of a window the panel drives.
struct ImportControls {
    QWidget* window = nullptr;
    QPushButton* cmdConDBF = nullptr;
    QPushButton* cmdConTxt = nullptr;
    QPushButton* cmdConXls = nullptr;
    QPushButton* cmdConXls2 = nullptr;
    QListWidget* listxlsSheet = nullptr;
    QPushButton* cmdConvert = nullptr;
    QPushButton* cmdAgencyTables = nullptr;  ///< lists the tables of the agency database
    QListWidget* lstTables = nullptr;
    QPushButton* cmdFields = nullptr;
    std::vector<QListWidget*> fieldLists;  ///< every list that receives the column names
    QPushButton* cmdConUSNG = nullptr;
    QLabel* lblProRe = nullptr;
};

/// The messages that differ between the two windows (as each writes them).
struct ImportTexts {
    QString noTableTicked;        ///< "Please Select the Table Conataining USNG Coordinates"
    QString severalTablesTicked;  ///< "Please Select Only the Table Conatining USNG Coordinates"
};

class TableImportPanel final : public QObject {
    Q_OBJECT
public:
    TableImportPanel(const Services& services, ImportControls controls, ImportTexts texts, QObject* parent);

    /// The database the listing, the conversion and the shapefile work on (empty before one was chosen):
    /// a SQLite file, or "PG:" and the agency database's connection string.
    const QString& databasePath() const { return m_database; }
    /// The current item of the table list (empty when none).
    QString currentTable() const;
    /// Disables the field and conversion commands, empties the table and field lists, "0" records.
    void cmdReset();
    /// The reset after a run: the field, conversion and sheet commands off, every list empty, then cmdReset.
    void resetAfterRun();
    /// Enables the conversion command as the next step.
    void enableConversion();

    /// The items of \p list that carry a tick.
    static int tickedCount(const QListWidget* list);

signals:
    /// The columns of the current table were listed into the field lists.
    void fieldsListed(const QStringList& columns);

private:
    /// An import off the interface thread, its records counted in the window's counter;
    /// std::nullopt when the window went away meanwhile.
    std::optional<QString> runImport(const std::function<QString(ImportCounter&)>& import);
    void cmdConDBF_Click();
    void cmdConTxt_Click();
    void cmdConXls_Click();
    void cmdConXls2_Click();
    void cmdConvert_Click();
    void cmdAgencyTables_Click();
    void cmdFields_Click();
    void makeSingleTick(QListWidget* list);
    void listTables(const QString& database);
    std::optional<QString> chooseFile(const QString& title, const QString& filter, const QString& extension);
    void tell(const QString& text);
    void failed(const QString& file, const QString& reason);
    void setNextStep(QPushButton* button, bool enabled);
    void setSheetImport(bool enabled);

    Services m_services;
    ImportControls m_c;
    ImportTexts m_texts;
    QString m_database;
    QString m_workbook;
    QString m_singleSheet;
};

}  // namespace waypost::batch
