#include "gdi/handles.h"

namespace tessel::gdi {

Object::~Object() = default;

}  // namespace tessel::gdi
