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

TEST(FeatureFields, EachOutputTakesItsOwnFields) {
    EXPECT_EQ(recordHeader(kTable), QStringList({"Note", "Name"}));
    const auto values = recordValues(kTable, {QStringLiteral("n"), 12.5, QStringLiteral("Camp")});
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(std::get<QString>(values[1]), QStringLiteral("Camp"));
    EXPECT_THROW(recordValues(kTable, {QStringLiteral("too short")}), std::invalid_argument);
}

TEST(FeatureFields, APointShapefileIsCreatedThenAppendedWithTheSameFields) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(QStringLiteral("p.shp"));
    writePointShape(shp, ShapefileWriter::OpenMode::Create, kTable, {QStringLiteral("n"), 12.345, QStringLiteral("A")}, 1, 2);
    writePointShape(shp, ShapefileWriter::OpenMode::Append, kTable, {QStringLiteral("n"), 3.0, QStringLiteral("B")}, 3, 4);
    const ShapefileContent content = readShapefile(shp);
    ASSERT_TRUE(content.opened);
    EXPECT_EQ(content.schema, QStringList({"Acres:double:0", "Name:text:20"}));
    ASSERT_EQ(content.records.size(), 2u);
    EXPECT_EQ(content.records[0].values["Acres"], QStringLiteral("12.35"));
    EXPECT_EQ(content.records[1].values["Name"], QStringLiteral("B"));
    EXPECT_EQ(content.records[1].vertices, (std::vector<std::pair<double, double>>{{3, 4}}));
}

TEST(FeatureFields, AppendingToAMissingShapefileFailsAndCreatesNothing) {
    QTemporaryDir dir;
    EXPECT_THROW(writePointShape(dir.filePath(QStringLiteral("missing.shp")), ShapefileWriter::OpenMode::Append,
                                 kTable, {QStringLiteral("n"), 1.0, QStringLiteral("A")}, 1, 2),
                 ShapefileError);
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}
