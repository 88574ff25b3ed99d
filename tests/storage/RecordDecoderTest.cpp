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
const char* const kFieldForms[] = {"TE12.5",
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
                                   "TE3.4028236e38",
                                   "TE-1.5-",
                                   "TE--1",
                                   "TE1..5",
                                   "TE.",
                                   "TE-.",
                                   "TE-1234.5",
                                   "TE12345678",
                                   "TE-12345678",
                                   "TE123456789",
                                   "T\tE1.5"};

TEST(RecordDecoder, FieldsGiveTheGeneralSplitsValues) {
    const auto& fields = kFieldForms;
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

void ExpectSameValues(const RecordDecoder::Value* values, std::size_t count,
                      const std::vector<RecordDecoder::Value>& expected, const std::string& where) {
    ASSERT_EQ(count, expected.size()) << where;
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_EQ(values[i].series, expected[i].series) << where << ", value " << i;
        EXPECT_EQ(std::memcmp(&values[i].value, &expected[i].value, sizeof(float)), 0)
            << where << ", value " << i << ": " << values[i].value << " instead of "
            << expected[i].value;
    }
}

// Long lines are read in windows of bytes: every field form at every offset
// from a window's edge, fields longer than a window, and identifiers of more
// than a word must still give the general split's values in field order.
TEST(RecordDecoder, LongLinesGiveTheGeneralSplitsValuesAtEveryOffset) {
    std::vector<std::unique_ptr<CListGraph>> series;
    series.push_back(Series("TE", 1.8f, 32.0f));
    series.push_back(Series("TEMPERATUR1", 0.5f, -3.0f));
    series.push_back(Series("T", 2.0f));
    series.push_back(Series("TEMPERATU", 3.0f));
    CFormelParser parser;
    RecordDecoder decoder(series, parser);
    const std::string longNumber = "TE" + std::string(70, '1') + ".5";
    const std::string longIdentifier = std::string(70, 'X') + "1.5";
    // Each line on its own, and all of them as one block, where a window may
    // read on into the next line.
    std::string block;
    std::vector<std::vector<RecordDecoder::Value>> expectedByLine;
    for (std::size_t shift = 0; shift < 80; ++shift) {
        std::string line = "12:00:00,15.01.24,P" + std::string(shift, '7') + ",";
        for (const char* field : kFieldForms)
            line += std::string(field) + ",TEMPERATUR1-2.5,T3,,TEMPERATU4.5,";
        line += longNumber + "," + longIdentifier + ",TEMPERATUR12.5,TE7.25,T";
        std::vector<RecordDecoder::Value> expected;
        RecordLine::ForEachField(line, 18, [&](std::string_view field) {
            const RecordLine::Field split = RecordLine::SplitField(field);
            for (const auto& one : series)
                if (one->Identifier() == split.identifier)
                    expected.push_back({one.get(), one->Convert(split.value)});
        });
        std::vector<RecordDecoder::Value> values;
        decoder.DecodeValues(line, 18, values);
        ExpectSameValues(values.data(), values.size(), expected,
                         "line of shift " + std::to_string(shift));
        block += line + "\r\n";
        expectedByLine.push_back(std::move(expected));
    }
    RecordDecoder::Block decoded;
    decoder.DecodeBlock(block, 0, decoded);
    ASSERT_EQ(decoded.lines.size(), expectedByLine.size());
    for (std::size_t i = 0; i < decoded.lines.size(); ++i) {
        const RecordDecoder::Line& line = decoded.lines[i];
        ExpectSameValues(decoded.values.data() + line.firstValue, line.valueCount,
                         expectedByLine[i], "block line " + std::to_string(i));
    }
}

}  // namespace
