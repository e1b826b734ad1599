#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/Status.h"

namespace velkor {

// The compound-file container of legacy Office documents (version 3,
// 512-byte sectors): named streams in one root storage.
struct CompoundStream {
    std::u16string name;
    std::vector<uint8_t> data;
};

// Writes the streams into a container. Streams under 4,096 bytes go into the
// mini stream, as readers expect.
std::vector<uint8_t> WriteCompoundFile(const std::vector<CompoundStream>& streams);

// A stream given as consecutive pieces (a workbook's globals, then each of
// its sheets): the pieces go straight into the container, so a stream of
// many megabytes is not first joined in a buffer of its own.
struct CompoundPieces {
    std::u16string name;
    std::vector<std::span<const uint8_t>> pieces;
};
std::vector<uint8_t> WriteCompoundFile(const std::vector<CompoundPieces>& streams);

// Reads the streams of the root storage. Every sector number, chain and size
// is checked against the file; a damaged container gives nothing and the
// reason in `status`.
std::optional<std::vector<CompoundStream>> ReadCompoundFile(std::span<const uint8_t> file,
                                                            Status* status = nullptr);

}  // namespace velkor
