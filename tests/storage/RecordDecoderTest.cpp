#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "calc/CFormelParser.h"
#include "model/CSensoren.h"
#include "storage/CListGraph.h"
#include "storage/RecordDecoder.h"
#include "storage/RecordLine.h"

namespace {

std::unique_ptr<CListGraph> Series(const char* identifier, float factor = 1.0f,
                                   float offset = 0.0f) {
    CSensoren sensor;
    sensor.m_identifier = identifier;
    sensor.m_factor = factor;
    sensor.m_offset = offset;
    return std::make_unique<CListGraph>(sensor);
}

// The stored form is read in one pass; every field must give what the general
// split gives, bit for bit, or a read would differ from a record's reception.
TEST(RecordDecoder, FieldsGiveTheGeneralSplitsValues) {
    const char* const fields[] = {"TE12.5",
                                  "TE-0.00",
                                  "TE0",
                                  "TE.5",
                                  "TE5.",
                                  "TE-.5",
                                  "TE-",
                                  "TE",
                                  "TE1-2",
                                  "TE1.2.3",
                                  "TE 5.5",
                                  "T1E",
                                  "TE1.5x",
                                  "TE16777215",
                                  "TE16777217",
                                  "TE1.2345678",
                                  "TE0.000001",
                                  "TE123456789012345",
                                  "TE1234567890123456",
                                  "TE99999999999999999999",
                                  "TE-99999",
                                  "TE3.4028236e38"};
    std::vector<std::unique_ptr<CListGraph>> series;
    series.push_back(Series("TE", 1.8f, 32.0f));
    CFormelParser parser;
    RecordDecoder decoder(series, parser);
    for (const char* field : fields) {
        const std::string line = std::string("12:00:00,15.01.24,") + field + ",";
        std::vector<RecordDecoder::Value> values;
        decoder.DecodeValues(line, 18, values);

        const RecordLine::Field split = RecordLine::SplitField(field);
        if (split.identifier != "TE") {
            EXPECT_TRUE(values.empty()) << field;
            continue;
        }
        ASSERT_EQ(values.size(), 1u) << field;
        const float expected = series[0]->Convert(split.value);
        EXPECT_EQ(std::memcmp(&values[0].value, &expected, sizeof expected), 0)
            << field << ": " << values[0].value << " instead of " << expected;
    }
}

}  // namespace
