#pragma once
// The container of a collated decomposed run (-fileHandler collated): one file holding the
// data of every rank as OpenFOAM's decomposedBlockData. After its own FoamFile header come,
// per rank, a comment "// Processor<k>", a byte count and "(" + exactly that many bytes + ")";
// an empty block is the count 0 alone. Block 0 is a whole file with its header; the other
// blocks are bodies to be read with block 0's header.
#include <cstddef>
#include <cstdint>
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

// Whether the text starts with the header of a decomposedBlockData container.
bool isContainer(const char* text, size_t size);

// Indexes the blocks behind the container's header in one pass, stepping over each block by
// its byte count, every count checked against the text's size. False with *error at the
// first thing that is not a block (a count past the end, a missing parenthesis, text that is
// no count); the blocks found before it are kept.
bool indexBlocks(const char* text, size_t size, std::vector<Block>* blocks, std::string* error);

// The two above for a text whose headerEnd is known already (it is searched for once).
bool isContainerHeader(const char* text, size_t headerEnd);
bool indexBlocksBehindHeader(const char* text, size_t size, size_t headerEnd, std::vector<Block>* blocks,
                             std::string* error);

}  // namespace blockdata
