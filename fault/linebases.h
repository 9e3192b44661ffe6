#pragma once
// Statement numbers run upward through each module in source order. A module's procedures may
// span several files; each file numbers its statements from its own base (base + source line),
// and the bases here keep the files of one module in order.

namespace fault::linebase {
// frmMAIN
inline constexpr int frmMAIN_shell = 0;
inline constexpr int frmMAIN_editor = 10000;
inline constexpr int frmMAIN_server = 20000;
inline constexpr int frmMAIN_playlist = 30000;
inline constexpr int frmMAIN_remote = 40000;
// mGENERAL
inline constexpr int mGENERAL_pickers = 0;
inline constexpr int mGENERAL_cards = 10000;
inline constexpr int mGENERAL_datasets = 20000;
inline constexpr int mGENERAL_tags = 25000;
inline constexpr int mGENERAL_playlist = 30000;
// mMRU
inline constexpr int mMRU = 0;
// vbwProtector
inline constexpr int vbwProtector = 0;
} // namespace fault::linebase
