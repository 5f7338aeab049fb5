// The depth sort: a stable sort of the rows by descending 16-bit key, rows with equal keys
// in emission order (exactly the order of a binary LSD radix sort, set bits first).
#pragma once

#include <cstdint>

#include "render/render_context.h"

// Sorts count rows in place, using scratch (room for count rows) as the second buffer.
void SortRows(int32_t count, SortRow* rows, SortRow* scratch);

// The reference form: 16 binary passes, allocating its group arrays. Kept for tests.
void SortRowsBinary(int32_t count, SortRow* rows);
