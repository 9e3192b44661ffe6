#pragma once

namespace ui {

/// The look every run shares: Fusion style, and Liberation Sans (Narrow) where Arial (Narrow) is absent.
void setupApplication();

} // namespace ui
