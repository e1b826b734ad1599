#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "document/CVelkorDoc.h"

namespace velkor {

// "大小端反转": the name labels of every section, switch and signal take the
// chosen face and height (and weight, when given); every other field of
// their fonts stays, so a rotated or bold label keeps its escapement and
// weight. Each object is placed again. One undoable edit.
void ApplyNameFont(CVelkorDoc& doc, std::u16string_view face, int32_t height,
                   std::optional<int32_t> weight = std::nullopt);

}  // namespace velkor
