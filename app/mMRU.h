#pragma once
#include <array>

#include "project/state.h"
#include "ui/controls.h"

/// The recent-projects list: read at start, shown in the menu, written at shutdown.
namespace app::mMRU {

/// The menu shows four recent projects, of the five the stored list keeps.
inline constexpr size_t kMenuItems = 4;
using MenuItems = std::array<ui::MenuItem*, kMenuItems>;

void ReadMRU(project::State& s);
void SaveMRU(const project::State& s);
void AddMRU(project::State& s, const QString& path);
void DisplayMRU(const project::State& s, const MenuItems& items);

} // namespace app::mMRU
