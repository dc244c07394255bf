#include "batch/ServerRun.h"
#include "widgets/AgencyAccess.h"
#include "batch/TableImportPanel.h"

#include "batch/TableImport.h"
#include "widgets/BackgroundJob.h"
#include "widgets/Look.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace waypost::batch {
namespace {

const QColor kSilver{192, 192, 192};  // a sheet import that cannot run yet

QListWidgetItem* tickable(const QString& text) {
    auto* item = new QListWidgetItem(text);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

}  // namespace

TableImportPanel::TableImportPanel(const Services& services, ImportControls controls, ImportTexts texts,
                                   QObject* parent)
    : QObject(parent), m_services(services), m_c(std::move(controls)), m_texts(std::move(texts)) {
    connect(m_c.cmdConDBF, &QPushButton::clicked, this, &TableImportPanel::cmdConDBF_Click);
    connect(m_c.cmdConTxt, &QPushButton::clicked, this, &TableImportPanel::cmdConTxt_Click);
    connect(m_c.cmdConXls, &QPushButton::clicked, this, &TableImportPanel::cmdConXls_Click);
    connect(m_c.cmdConXls2, &QPushButton::clicked, this, &TableImportPanel::cmdConXls2_Click);
    connect(m_c.cmdConvert, &QPushButton::clicked, this, &TableImportPanel::cmdConvert_Click);
    connect(m_c.cmdFields, &QPushButton::clicked, this, &TableImportPanel::cmdFields_Click);
    if (m_c.cmdAgencyTables)
        connect(m_c.cmdAgencyTables, &QPushButton::clicked, this, &TableImportPanel::cmdAgencyTables_Click);
    connect(m_c.listxlsSheet, &QListWidget::itemClicked, this, [this] { setSheetImport(true); });
    makeSingleTick(m_c.lstTables);
    for (QListWidget* list : m_c.fieldLists) makeSingleTick(list);
    setButtonColour(m_c.cmdConvert, kEnabledOutputColour);
    setSheetImport(false);
    cmdReset();
}

QString TableImportPanel::currentTable() const {
    const QListWidgetItem* item = m_c.lstTables->currentItem();
    return item ? item->text() : QString();
}

int TableImportPanel::tickedCount(const QListWidget* list) {
    int ticked = 0;
    for (int i = 0; i < list->count(); ++i) ticked += list->item(i)->checkState() == Qt::Checked;
    return ticked;
}

void TableImportPanel::makeSingleTick(QListWidget* list) {
    // At most one tick a list: ticking another item takes the tick off the last one.
    connect(list, &QListWidget::itemChanged, this, [list](QListWidgetItem* changed) {
        if (changed->checkState() != Qt::Checked) return;
        const QSignalBlocker quiet(list);
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i) != changed) list->item(i)->setCheckState(Qt::Unchecked);
        list->setCurrentItem(changed);
    });
}

void TableImportPanel::setNextStep(QPushButton* button, bool enabled) {
    button->setEnabled(enabled);
    if (enabled) setButtonColour(button, kNextStepColour);
    else resetButtonColour(button);
}

void TableImportPanel::setSheetImport(bool enabled) {
    m_c.cmdConXls2->setEnabled(enabled);
    setButtonColour(m_c.cmdConXls2, enabled ? kEnabledOutputColour : kSilver);
}

void TableImportPanel::cmdReset() {
    setNextStep(m_c.cmdFields, false);
    setNextStep(m_c.cmdConUSNG, false);
    for (QListWidget* list : m_c.fieldLists) list->clear();
    m_c.lstTables->clear();
    m_c.lblProRe->setText(QStringLiteral("0"));
}

void TableImportPanel::resetAfterRun() {
    setNextStep(m_c.cmdFields, false);
    setNextStep(m_c.cmdConUSNG, false);
    m_c.cmdConXls2->setEnabled(false);
    resetButtonColour(m_c.cmdConXls2);
    m_c.listxlsSheet->clear();
    m_c.lstTables->clear();
    for (QListWidget* list : m_c.fieldLists) list->clear();
    cmdReset();
}

void TableImportPanel::enableConversion() { setNextStep(m_c.cmdConUSNG, true); }

std::optional<QString> TableImportPanel::chooseFile(const QString& title, const QString& filter,
                                                    const QString& extension) {
    Prompter::FileDialog dialog;
    dialog.title = title;
    dialog.filter = filter;
    dialog.defaultExtension = extension;
    return m_services.prompter.openFile(dialog);
}

void TableImportPanel::tell(const QString& text) { m_services.prompter.message(text); }

void TableImportPanel::failed(const QString& file, const QString& reason) {
    m_services.prompter.message(QStringLiteral("%1 cannot be imported:\n%2").arg(file, reason), kAppTitle,
                                Prompter::Icon::Critical);
}

std::optional<QString> TableImportPanel::runImport(const std::function<QString(ImportCounter&)>& import) {
    QLabel* counter = m_c.lblProRe;
    return BackgroundJob::run<QString>(
        m_c.window, [counter](std::int64_t rows) { counter->setText(QString::number(rows)); }, import);
}

void TableImportPanel::cmdConDBF_Click() {
    cmdReset();
    const auto path = chooseFile(QStringLiteral("Convert dBase to SQLite"), QStringLiteral("Dbase Files (*.dbf)"),
                                 QStringLiteral("dbf"));
    if (!path) return;
    if (!path->endsWith(QLatin1String(".dbf"))) {
        tell(QStringLiteral("%1 is not read: a dBase file's name must end in \".dbf\", in lower case.")
                 .arg(QFileInfo(*path).fileName()));
        return;
    }
    try {
        const QString dbf = *path;
        const auto target = runImport([dbf](ImportCounter& rows) { return importDbf(dbf, &rows); });
        if (!target) return;
        tell(QStringLiteral(".dbf file converted to table 'Coord' in ") + *target);
    } catch (const ImportError& e) {
        failed(e.file(), e.reason());
    }
}

void TableImportPanel::cmdConTxt_Click() {
    cmdReset();
    const auto path = chooseFile(QStringLiteral("Convert .txt or .csv to SQLite"),
                                 QStringLiteral("Text Files (*.txt);;CSV Files (*.csv)"), QStringLiteral("txt"));
    if (!path) return;
    try {
        const QString text = *path;
        const auto target = runImport([text](ImportCounter& rows) { return importText(text, &rows); });
        if (!target) return;
        tell(QFileInfo(*path).fileName().right(3) + QStringLiteral(" file converted to table 'Coord' in ") + *target);
    } catch (const ImportError& e) {
        failed(e.file(), e.reason());
    }
}

void TableImportPanel::cmdConXls_Click() {
    cmdReset();
    const auto path = chooseFile(QStringLiteral("Get Excel Sheet Name(s)"),
                                 QStringLiteral("Excel Files (*.xls);;Excel Workbooks (*.xlsx);;OpenDocument "
                                                "Spreadsheets (*.ods)"),
                                 QStringLiteral("xls"));
    if (!path) return;
    const QString suffix = QFileInfo(*path).suffix();
    if (suffix != QLatin1String("xls") && suffix != QLatin1String("xlsx") && suffix != QLatin1String("ods")) {
        tell(QStringLiteral("%1 is not read: a workbook's name must end in \".xls\", \".xlsx\" or \".ods\", in "
                            "lower case.")
                 .arg(QFileInfo(*path).fileName()));
        return;
    }
    try {
        const WaitCursor wait;
        const QStringList sheets = sheetNames(*path);
        // A new workbook: the sheets of the last one must not be offered for it.
        m_c.listxlsSheet->clear();
        m_workbook = *path;
        m_singleSheet = sheets.size() == 1 ? sheets.front() : QString();
        if (sheets.size() == 1) m_c.listxlsSheet->addItem(QStringLiteral("No selection needed"));
        else m_c.listxlsSheet->addItems(sheets);
        setSheetImport(true);
    } catch (const ImportError& e) {
        failed(e.file(), e.reason());
    }
}

void TableImportPanel::cmdConXls2_Click() {
    QString sheet = m_singleSheet;
    if (sheet.isEmpty()) {
        const QListWidgetItem* selected = m_c.listxlsSheet->currentItem();
        if (!selected || !selected->isSelected()) {
            tell(QStringLiteral("Please Select a worksheet in the 'Sheets' Listbox"));
            setSheetImport(false);
            return;
        }
        sheet = selected->text();
    }
    try {
        const QString workbook = m_workbook;
        const auto target =
            runImport([workbook, sheet](ImportCounter& rows) { return importSheet(workbook, sheet, &rows); });
        if (!target) return;
        tell(QStringLiteral("Excel Spreadsheet converted to table 'tblExcel' in ") + *target);
        m_c.listxlsSheet->clear();
        m_singleSheet.clear();
    } catch (const ImportError& e) {
        failed(e.file(), e.reason());
    }
}

void TableImportPanel::listTables(const QString& database) {
    const QStringList tables = databaseTables(database);
    m_c.lstTables->clear();
    for (QListWidget* list : m_c.fieldLists) list->clear();
    for (const QString& table : tables)
        if (!table.startsWith(QLatin1String("gpkg_")) && !table.startsWith(QLatin1String("rtree_")))
            m_c.lstTables->addItem(tickable(table));
    m_database = database;
    setNextStep(m_c.cmdFields, true);
}

void TableImportPanel::cmdConvert_Click() {
    cmdReset();
    const auto path = chooseFile(m_c.cmdConvert->text(),
                                 QStringLiteral("Dbase Files (*.dbf);;SQLite Files (*.sqlite *.db);;Access "
                                                "Files (*.mdb *.accdb)"),
                                 QStringLiteral("sqlite"));
    if (!path) return;
    const QString suffix = QFileInfo(*path).suffix();
    const QString source = *path;
    try {
        if (suffix == QLatin1String("sqlite") || suffix == QLatin1String("db")) {
            const WaitCursor wait;
            listTables(*path);
        } else if (suffix == QLatin1String("mdb") || suffix == QLatin1String("accdb")) {
            const auto copy = runImport([source](ImportCounter&) { return importAccess(source); });
            if (!copy) return;
            listTables(*copy);
            tell(QStringLiteral("The tables of %1 were copied to %2; the conversion works on that copy.")
                     .arg(*path, *copy));
        } else if (suffix == QLatin1String("dbf")) {
            const auto copy = runImport([source](ImportCounter& rows) { return importDbf(source, &rows); });
            if (!copy) return;
            listTables(*copy);
            tell(QStringLiteral(".dbf file converted to table 'Coord' in ") + *copy);
        } else if (suffix.compare(QLatin1String("gpkg"), Qt::CaseInsensitive) == 0) {
            // Its spatial triggers need functions this program does not have.
            tell(QStringLiteral("%1 is a GeoPackage, which is not converted here: export the table as a text (.csv) "
                                "or dBase file and convert that.")
                     .arg(QFileInfo(*path).fileName()));
        } else {
            tell(QStringLiteral("%1 is not read: choose a SQLite database (.sqlite, .db), an Access database "
                                "(.mdb, .accdb) or a dBase file (.dbf), in lower case.")
                     .arg(QFileInfo(*path).fileName()));
        }
    } catch (const ImportError& e) {
        failed(e.file(), e.reason());
    }
}

void TableImportPanel::cmdAgencyTables_Click() {
    cmdReset();
    try {
        const auto listed = withAgencyDatabase<std::pair<std::string, QStringList>>(
            m_services.prompter, m_c.window, [](const std::string& connection) {
                const agency::Connection reached(connection);  // a password wanted is asked for first
                return std::pair(connection, serverTables(connection));
            });
        if (!listed) return;
        m_c.lstTables->clear();
        for (QListWidget* list : m_c.fieldLists) list->clear();
        for (const QString& table : listed->second) m_c.lstTables->addItem(tickable(table));
        m_database = QStringLiteral("PG:") + QString::fromStdString(listed->first);
        setNextStep(m_c.cmdFields, true);
    } catch (const agency::AgencyError& failure) {
        m_services.prompter.message(failure.words(), kAppTitle, Prompter::Icon::Critical);
    } catch (const RunError& failure) {
        m_services.prompter.message(failure.message(), kAppTitle, Prompter::Icon::Critical);
    }
}

void TableImportPanel::cmdFields_Click() {
    if (!m_c.lstTables->currentItem()) {
        tell(QStringLiteral("No Table Present"));
        return;
    }
    const int ticked = tickedCount(m_c.lstTables);
    if (ticked == 0) {
        tell(m_texts.noTableTicked);
        m_c.lstTables->setFocus();
        return;
    }
    if (ticked > 1) tell(m_texts.severalTablesTicked);
    try {
        const QStringList columns = isServerSource(m_database)
                                        ? serverColumns(serverConnection(m_database), currentTable())
                                        : tableColumns(m_database, currentTable());
        for (QListWidget* list : m_c.fieldLists) {
            list->clear();
            for (const QString& column : columns) list->addItem(tickable(column));
        }
        emit fieldsListed(columns);
    } catch (const ImportError& e) {
        m_services.prompter.message(QStringLiteral("The fields of %1 cannot be listed:\n%2").arg(currentTable(), e.reason()),
                                    kAppTitle, Prompter::Icon::Critical);
    } catch (const RunError& e) {
        m_services.prompter.message(QStringLiteral("The fields of %1 cannot be listed:\n%2").arg(currentTable(), e.message()),
                                    kAppTitle, Prompter::Icon::Critical);
    }
}

}  // namespace waypost::batch
