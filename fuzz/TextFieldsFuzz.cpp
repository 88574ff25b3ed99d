// Any bytes through the small text splitters and classifiers that read
// hand-edited settings: comma-terminated lists, limit texts and number texts.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/CSensorDefine.h"
#include "model/SensorFiles.h"
#include "model/TextNumbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::size_t total = 0;
    for (const std::string& item : SplitIdentifierList(text)) {
        if (item.find(',') != std::string::npos) std::abort();  // a comma always ends an item
        total += item.size() + 1;
    }
    if (total > size) std::abort();

    (void)TextNumbers::Atoi(text);
    const double real = TextNumbers::Atof(text);
    if (std::isnan(real) && text.find_first_of("nN") == std::string_view::npos) std::abort();
    (void)CSensorDefine::IsNumber(text);
    return 0;
}
