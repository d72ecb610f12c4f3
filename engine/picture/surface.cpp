// The drawing target of the engines.
#include "engine/picture/surface.h"

namespace plotwise {
namespace {

VectorSurface* target = nullptr;

}  // namespace

VectorSurface* drawing_target() { return target; }

DrawingTarget::DrawingTarget(VectorSurface* surface) : previous_(target) { target = surface; }

DrawingTarget::~DrawingTarget() { target = previous_; }

}  // namespace plotwise
