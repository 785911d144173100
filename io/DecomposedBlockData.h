#pragma once
// The container of a collated decomposed run (-fileHandler collated): one file holding the
// data of every rank as OpenFOAM's decomposedBlockData. After its own FoamFile header come,
// per rank, a comment "// Processor<k>", a byte count and "(" + exactly that many bytes + ")";
// an empty block is the count 0 alone. Block 0 is a whole file with its header; the other
// blocks are bodies to be read with block 0's header.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace blockdata {

struct Block {
    uint64_t offset = 0;  // of the block's first byte in the container text
    uint64_t size = 0;
};

// The end of a FoamFile header in text (as the dictionary reader finds it): the position just
// behind the "}" that closes the FoamFile dictionary, or 0 when the text holds none (within its
// first bytes).
size_t headerEnd(const char* text, size_t size);

// A FoamFile header searched for in the first bytes of a text: where the text in front of its
// keyword ends, where its "}" ends (0: none found), and its entries without sub-dictionaries
// (read: they could be read). wholeText: the search covered the whole text, so a header not
// found is not there at all.
struct Header {
    size_t start = 0;
    size_t end = 0;
    bool read = false;
    bool wholeText = false;
    std::map<std::string, std::string> entries;
};
// fileName is where the header's own directives are resolved from.
Header findHeader(const char* text, size_t size, const std::string& fileName);

// Whether the header is that of a decomposedBlockData container.
bool isContainerHeader(const Header& header);
// Whether the text starts with the header of a decomposedBlockData container.
bool isContainer(const char* text, size_t size);

// Indexes the blocks behind the container's header in one pass, stepping over each block by
// its byte count, every count checked against the text's size. False with *error at the
// first thing that is not a block (a count past the end, a missing parenthesis, text that is
// no count); the blocks found before it are kept.
bool indexBlocks(const char* text, size_t size, std::vector<Block>* blocks, std::string* error);
// The same for a text whose header ends at headerEnd (it is searched for once).
bool indexBlocksBehindHeader(const char* text, size_t size, size_t headerEnd, std::vector<Block>* blocks,
                             std::string* error);

}  // namespace blockdata
