#include "output/FeatureFields.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace waypost;
using namespace waypost::test;

namespace {

// A record-only field, a shapefile-only field and one in both.
const FieldTable kTable{{"Note", {}, ShapefileWriter::Text, 10},
                        {{}, "Acres", ShapefileWriter::Double, 12, 2},
                        {"Name", "Name", ShapefileWriter::Text, 20}};

}  // namespace

// The record file takes the fields with a record name, in the table's order; a short row is refused.
TEST(FeatureFields, EachOutputTakesItsOwnFields) {
    EXPECT_EQ(recordHeader(kTable), QStringList({"Note", "Name"}));
    const auto values = recordValues(kTable, {QStringLiteral("n"), 12.5, QStringLiteral("Camp")});
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(std::get<QString>(values[1]), QStringLiteral("Camp"));
    EXPECT_THROW(recordValues(kTable, {QStringLiteral("too short")}), std::invalid_argument);
}

// The shapefile takes the fields with a shapefile name: created, then
// appended; an append to a missing set fails and creates nothing.
TEST(FeatureFields, APointShapefileIsCreatedThenAppendedWithTheSameFields) {
    using Mode = ShapefileWriter::OpenMode;
    QTemporaryDir dir;
    const QString shp = dir.filePath(QStringLiteral("p.shp"));
    EXPECT_THROW(writePointShape(shp, Mode::Append, kTable, {QStringLiteral("n"), 1.0, QStringLiteral("A")}, 1, 2),
                 ShapefileError);
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
    writePointShape(shp, Mode::Create, kTable, {QStringLiteral("n"), 12.345, QStringLiteral("A")}, 1, 2);
    writePointShape(shp, Mode::Append, kTable, {QStringLiteral("n"), 3.0, QStringLiteral("B")}, 3, 4);
    const ShapefileContent content = readShapefile(shp);
    ASSERT_TRUE(content.opened);
    EXPECT_EQ(content.schema, QStringList({"Acres:double:0", "Name:text:20"}));
    ASSERT_EQ(content.records.size(), 2u);
    EXPECT_EQ(content.records[0].values["Acres"], QStringLiteral("12.35"));
    EXPECT_EQ(content.records[1].values["Name"], QStringLiteral("B"));
    EXPECT_EQ(content.records[1].vertices, (std::vector<std::pair<double, double>>{{3, 4}}));
}
