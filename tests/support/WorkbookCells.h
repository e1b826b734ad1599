#pragma once
#include <string>

#include "workbook/Workbook.h"

namespace velkor::testing {

inline WorkbookCell TextCell(std::u16string t) {
    WorkbookCell c;
    c.text = std::move(t);
    return c;
}

inline WorkbookCell NumberCell(double v) {
    WorkbookCell c;
    c.kind = WorkbookCell::Kind::Number;
    c.number = v;
    return c;
}

}  // namespace velkor::testing
