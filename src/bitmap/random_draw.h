// A borrowed source of 32-bit random numbers for the kernels that draw them (the noise
// filters). The renderer hands in its shared Random32; tests hand in a seeded generator, so a
// kernel stays repeatable under test without the bitmap engine knowing the renderer.
#pragma once

#include <cstdint>

namespace vexa {

class TRandomDraw {
 public:
  // A plain function such as Random32.
  explicit TRandomDraw(uint32_t (*fn)()) : fn_(fn) {}
  // Any generator object callable as g(); it must outlive the draw.
  template <class G>
  explicit TRandomDraw(G& generator)
      : object_(&generator),
        call_([](void* g) -> uint32_t { return static_cast<uint32_t>((*static_cast<G*>(g))()); }) {}

  uint32_t operator()() const { return fn_ ? fn_() : call_(object_); }

 private:
  uint32_t (*fn_)() = nullptr;
  void* object_ = nullptr;
  uint32_t (*call_)(void*) = nullptr;
};

}  // namespace vexa
