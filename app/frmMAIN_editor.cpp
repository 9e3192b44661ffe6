// The editor page's handlers: the card list, the dataset grid, the tag grid.
#include "app/frmMAIN.h"
#include "fault/trap.h"
#include "project/mGENERAL.h"
#include "ui/dispatch.h"

namespace {
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = linebase::frmMAIN_editor;
} // namespace

void frmMAIN::connectEditorHandlers() {}
