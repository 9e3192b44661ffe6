#pragma once
// Composition of template data and AMCP lines: pure functions.
