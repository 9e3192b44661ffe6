#include "ui/dispatch.h"

namespace ui {

namespace {
int modalDepth = 0;
}

bool modalBusy() { return modalDepth > 0; }
ModalScope::ModalScope() { ++modalDepth; }
ModalScope::~ModalScope() { --modalDepth; }

} // namespace ui
