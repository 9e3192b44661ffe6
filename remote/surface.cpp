#include "remote/surface.h"

namespace remote {

Surface::~Surface() = default;

} // namespace remote
