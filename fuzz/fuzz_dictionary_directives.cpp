// The dictionary reader with its directives and substitutions, on a set of files held in memory:
// the input is split at zero bytes into a main dictionary and up to three files it may include
// (system/inc1, constant/inc2, inc3 of the case), so that includes, include cycles, macros
// and their nesting all stay in memory. The first byte picks binary lists and the label and
// scalar widths. The entry tree is then looked up as the readers look it up.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "io/FoamDictionary.h"

namespace {

const char* const CASE = "/case";
const char* const FILES[] = {"/case/system/fuzzDict", "/case/system/inc1", "/case/constant/inc2", "/case/inc3"};

void lookUp(const foamdict::Dictionary& dict, int depth) {
    if (depth > 8) return;
    for (const auto& entry : dict.entries()) {
        dict.find(entry->key, true);
        dict.findScoped(entry->key);
        dict.findScoped(":" + entry->key);
        dict.findScoped(".." + entry->key);
        if (entry->pattern) foamdict::patternMatches(entry->key, "movingWall");
        if (entry->isDict()) {
            dict.subDict(entry->key);
            lookUp(*entry->dict, depth + 1);
        } else {
            dict.text(entry->key);
            foamdict::joinTokens(entry->tokens);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::startProcess();
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const char* end = text + size - 1;
    MemoryFileSource files;
    files.add("/case/system/controlDict", "application fuzz;\n");
    std::string main;
    for (size_t k = 0; k < 4 && text <= end; ++k) {
        const char* stop = static_cast<const char*>(std::memchr(text, '\0', static_cast<size_t>(end - text)));
        if (!stop) stop = end;
        const std::string content(text, stop);
        if (k == 0) main = content;
        files.add(FILES[k], content);
        text = stop + 1;
    }

    foamdict::ParseOptions options;
    options.files = &files;
    options.caseFolder = CASE;
    options.binary = (mode & 1) != 0;
    options.labelBytes = (mode & 2) ? 8 : 4;
    options.scalarBytes = (mode & 4) ? 4 : 8;
    options.longListItems = (mode & 8) ? 2 : 32;
    {
        foamdict::Parser parser(options);
        foamdict::Dictionary dict;
        parser.parseFile(FILES[0], &dict);
        parser.firstProblem();
        lookUp(dict, 0);
    }
    {
        // The same text as a list of named dictionaries, as boundary and zone files are read.
        foamdict::Parser parser(options);
        foamdict::Dictionary list;
        long long count = 0;
        const auto shared = std::make_shared<const std::string>(main);
        const size_t body = foamdict::headerEnd(*shared);
        parser.parseEntryList(shared, body == std::string::npos ? 0 : body, FILES[0], &list, &count);
        lookUp(list, 0);
    }
    return 0;
}
