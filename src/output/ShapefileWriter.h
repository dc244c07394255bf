#pragma once

#include <QHash>
#include <QString>

#include <QTemporaryDir>
#include <map>
#include <memory>
#include <stdexcept>
#include <variant>

class OGRFeature;

namespace waypost {

/// A shapefile could not be written; what() carries the file and GDAL's reason.
class ShapefileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Writes ESRI shapefiles (.shp, .shx, .dbf, with a .cpg saying UTF-8) through
/// GDAL, one record at a time:
///
///     OpenShapefile(path, OpenMode::Create, Point);   // new point shapefile
///     AddField("Name", 10, 45); ...         // new files only, in table order
///     CommitFields();
///     SetFieldValue("Name", "Camp 3"); AddVertex(x, y); WriteShape();   // per record
///     CloseShapefile();
///
/// A new set is written beside the target under a temporary name and replaces
/// the old set only when CloseShapefile() succeeds; an append works on the
/// existing set with a backup that is put back when anything fails. So a
/// failure (thrown as ShapefileError) never leaves a partial set behind and
/// never loses earlier records. A writer destroyed without CloseShapefile()
/// discards its work the same way.
class ShapefileWriter {
public:
    /// ESRI shape type codes.
    enum ShapeType { Point = 1, PolyLine = 3, Polygon = 5, MultiPoint = 8 };
    /// How a shapefile is opened.
    enum class OpenMode { Create = 1, Append = 2 };
    /// Field type codes.
    enum FieldType {
        Boolean = 1, Integer = 3, Long = 4, Single = 6, Double = 7, Date = 8, Text = 10, Numeric = 19, Decimal = 20
    };

    ShapefileWriter();
    ~ShapefileWriter();
    ShapefileWriter(const ShapefileWriter&) = delete;
    ShapefileWriter& operator=(const ShapefileWriter&) = delete;

    /// Create makes \p path (replacing an existing set once the new one is
    /// complete) with \p shapeType; Append opens \p path to append records
    /// (the shape type is then the file's own).
    void OpenShapefile(const QString& path, OpenMode mode, ShapeType shapeType = Point);
    /// Adds an attribute to a new file. \p name is cut to the 10 characters a
    /// dBase field name may have (letters, digits, underscores), made unique;
    /// the value setters accept the name as given or as laundered. \p size is
    /// the field width (0 for the type's usual width), \p decimals its decimals.
    void AddField(const QString& name, int typeCode, int size = 0, int decimals = 0);
    /// Ends the field list of a new file; records may follow.
    void CommitFields();
    /// Sets a value of the next record. Text goes into a numeric field as its
    /// leading number; a date field takes a date text (M/D/YYYY or YYYY-MM-DD),
    /// an empty text leaves it empty.
    void SetFieldValue(const QString& name, const QString& text);
    void SetFieldValue(const QString& name, double number);
    /// The index of a field named as given or as laundered, for the setters
    /// below (a long run of records looks each name up once); -1 if none.
    int FieldIndex(const QString& name) const;
    /// Sets a value of the next record by field index: a number, or a text in UTF-8.
    void SetFieldValue(int field, double number);
    void SetFieldValue(int field, std::string utf8Text);
    /// Adds a vertex (x easting or longitude, y northing or latitude) to the next shape.
    void AddVertex(double x, double y);
    /// How a part of a shape begins.
    enum class Part { Outer, Hole };
    /// Starts a new part of the next shape: another line of a line shape, or
    /// another ring of a polygon shape (Outer begins a polygon, Hole a hole in
    /// the latest one). Until the first call every vertex belongs to one part.
    void AddPart(Part part = Part::Outer);
    /// Writes every row of \p sql, a query of the SQLite database \p database,
    /// as records of a new point shapefile, at GDAL's own pace: its first
    /// column the point, then one column a field, in the fields' order. The
    /// caller has checked that every value suits its field as it stands.
    void WriteRecordsFrom(const QString& database, const std::string& sql);
    /// Writes the vertices and values given since the last record as one record.
    void WriteShape();
    /// Finishes the file: a new set takes the place of the old one.
    void CloseShapefile();

    /// The dBase name a requested field name was given.
    QString fieldNameFor(const QString& requested) const;

    /// A text value longer than its field: the field keeps its width (in
    /// bytes, as the .dbf holds it) and the value is cut at the last whole
    /// character that fits.
    struct Shortened {
        QString field;    ///< the field's dBase name
        int width = 0;    ///< its width in bytes
        QString written;  ///< what the field holds
        friend bool operator==(const Shortened&, const Shortened&) = default;
    };
    /// The values shortened in the records written since the file was opened.
    const std::vector<Shortened>& shortened() const { return m_shortened; }
    bool isOpen() const;

private:
    using Value = std::variant<QString, double, std::string>;  ///< std::string: UTF-8 text
    [[noreturn]] void fail(const QString& what);
    void requireOpen(const char* operation) const;
    int fieldIndex(const QString& name) const;
    /// Closes without finishing: a new set is dropped, an appended one put
    /// back. Returns a note when the earlier records had to be kept aside.
    QString abandon();
    /// Puts a finished new set in the place of the old one.
    void placeNewSet();
    void setValue(int index, Value value);
    void requireField(int index) const;
    void setFeatureValues(OGRFeature& feature);
    /// \p text in UTF-8, cut to at most \p width bytes at a character's end (0: any length).
    static QByteArray fittedToBytes(const QString& text, int width);
    QString launderedName(const QString& name) const;

    QString m_path;          ///< the shapefile the caller named
    QString m_workPath;      ///< the .shp GDAL writes (a temporary one for a new set)
    int m_mode = 0;
    int m_shapeType = Point;
    bool m_fieldsCommitted = false;
    struct Gdal;  ///< the open dataset, its layer and the next shape's vertices
    std::unique_ptr<Gdal> m_gdal;
    std::unique_ptr<QTemporaryDir> m_work;  ///< new set or backup of the appended one
    std::map<QString, QString> m_launderedNames;  ///< requested (lower case) -> dBase name
    mutable QHash<QString, int> m_indexByName;     ///< names already looked up, for long runs of records
    std::vector<std::pair<int, Value>> m_values;  ///< the next record's, by field index (kept small: no map)
    std::vector<Shortened> m_shortened;
};

}  // namespace waypost
