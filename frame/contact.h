#pragma once
// The author's contact address, shown where the creator's name is clicked.

namespace vq {

inline constexpr char authorContact[] = "tavrin88@example.com";

} // namespace vq
