#pragma once
// The moves of the cue: the keys and every remote control move it by the same set.

namespace playlist {

/// By one entry or step, by a page of entries (as many as the view shows), to the first or last step.
enum class CueMove { Up, Down, Left, Right, Home, End, PageUp, PageDown };

} // namespace playlist
