#pragma once
#include <array>

#include "project/state.h"
#include "ui/controls.h"

/// The recent-projects list: read at start, shown in the menu, written at shutdown.
namespace mMRU {

using MenuItems = std::array<ui::MenuItem*, 4>;

void ReadMRU(State& s);
void SaveMRU(const State& s);
void AddMRU(State& s, const QString& path);
void DisplayMRU(const State& s, const MenuItems& items);

} // namespace mMRU
