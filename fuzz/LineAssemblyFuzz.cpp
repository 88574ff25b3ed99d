// Any received bytes through the readers' line assembly: every line is
// bounded, holds only bytes the receive filter keeps, ends where a line ends,
// and the echo and label rules stay inside it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "comm/LineAssembler.h"
#include "comm/ReceiveFilter.h"
#include "comm/StationProtocol.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "LineAssemblyFuzz: %s\n", what);
    std::abort();
}

void CheckLine(const std::string& line, bool bellEndsLine) {
    if (line.empty() || line.size() > LineAssembler::kMaxLineLength) Fail("line length");
    const char last = line.back();
    if (last != '\n' && !(bellEndsLine && last == '\a')) Fail("line does not end at its end");
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const char c = line[i];
        if (!PassesReceiveFilter(c)) Fail("filtered byte in a line");
        if (c == '\n' || (bellEndsLine && c == '\a')) Fail("line end inside a line");
        if (!bellEndsLine && c == '\a') Fail("bell kept by the acquisition reader");
    }
    if (const auto echo = StationProtocol::EchoText(line))
        if (echo->size() >= line.size()) Fail("echo longer than its line");
    std::vector<std::string> labels;
    StationProtocol::ReadSensorIdentifiers(line, labels);
    std::size_t total = 0;
    for (const auto& label : labels) total += label.size();
    if (total > line.size()) Fail("labels longer than their line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (bool bellEndsLine : {true, false}) {
        LineAssembler assembler(bellEndsLine);
        for (std::size_t i = 0; i < size; ++i) {
            if (!assembler.Add(static_cast<char>(data[i]))) {
                if (assembler.Line().size() > LineAssembler::kMaxLineLength) Fail("unbounded");
                continue;
            }
            CheckLine(assembler.Line(), bellEndsLine);
            assembler.Clear();
        }
    }
    return 0;
}
