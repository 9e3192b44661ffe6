#pragma once
// The dataset file format: pure functions over lines.
