// Fuzz target: one header text through constgen's scan, evaluation, selection and formatting.
// Whatever the bytes, it must neither crash nor run away, and every record it writes must be a
// well-formed three-line record.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <sstream>
#include <string>

#include "Constgen.h"
#include "Definitions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ostringstream messages;
    Definitions definitions({}, false, true, messages);
    definitions.TextScan("fuzz.h", std::string((const char*)data, size));
    definitions.Evaluate();
    Options options;
    Summary summary;
    for (const Constant& constant : ConstantsSelect(definitions, options, summary, messages)) {
        std::string record =
            RecordText(RecordOf32(constant.name, static_cast<uint32_t>(constant.value)));
        size_t lineEnds = 0;
        for (size_t at = record.find("\r\n"); at != std::string::npos;
             at = record.find("\r\n", at + 2)) {
            lineEnds++;
        }
        // A name holding a line end of its own would shift every record after it.
        if (lineEnds != 3 || constant.name.empty() ||
            constant.name.find_first_of("\r\n", 0) != std::string::npos) {
            abort();
        }
    }
    return 0;
}
