// libFuzzer target for the BMP reader: any bytes as a whole file and as a stream.
#include <sstream>
#include <string>

#include "bitmap/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    vexa::TABitmap b = vexa::DecodeBmp({data, size});
  } catch (const vexa::TBitmapError&) {
  }
  try {
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
    vexa::TABitmap b;
    b.LoadFromStream(stream);
  } catch (const vexa::TBitmapError&) {
  }
  return 0;
}
