// The server link's handlers and the on-air commands.
#include "app/frmMAIN.h"
#include "fault/trap.h"
#include "project/mGENERAL.h"
#include "ui/dispatch.h"

namespace {
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = linebase::frmMAIN_server;
} // namespace

void frmMAIN::createServerControls() {}

void frmMAIN::connectServerHandlers() {}
