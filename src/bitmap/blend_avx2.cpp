#include "bitmap/blend_rows.h"

namespace vexa::blend_rows {

// No wider rows yet: the SSE2 rows serve.
const TRowSet& Avx2Rows() {
  return Sse2Rows();
}

}  // namespace vexa::blend_rows
