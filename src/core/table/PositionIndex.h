#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vantrix {

// Row positions found by a key of the row, kept as one flat array of positions (open
// addressing, linear probing): four bytes a slot instead of a node per row, so that a list
// of a million rows does not carry a hundred megabytes of lookup nodes. The keys stay in
// the rows; the callers say how to hash and compare them.
class PositionIndex {
 public:
  bool Valid() const { return m_valid; }
  // The array is kept for the next rebuild.
  void Invalidate() { m_valid = false; }

  // Indexes positions 0..count-1 in order; a later position with an equal key replaces an
  // earlier one. hashOf(position) -> size_t, sameKey(position, position) -> bool.
  template <class HashOf, class SameKey>
  void Rebuild(std::size_t count, HashOf hashOf, SameKey sameKey) {
    std::size_t size = 16;
    while (size < count * 2) size *= 2;
    m_slots.assign(size, kEmpty);
    m_used = 0;
    m_valid = true;
    for (std::size_t position = 0; position < count; ++position)
      Put(static_cast<std::int32_t>(position), hashOf(position), sameKey);
  }

  // Adds one position; false when the array is too full, and the index is then invalid.
  template <class SameKey>
  bool Add(std::int32_t position, std::size_t hash, SameKey sameKey) {
    if (!m_valid || (m_used + 1) * 2 > m_slots.size()) {
      Invalidate();
      return false;
    }
    Put(position, hash, sameKey);
    return true;
  }

  // The position whose key matches (isKey(position) -> bool), or nullopt.
  template <class IsKey>
  std::optional<int> Find(std::size_t hash, IsKey isKey) const {
    if (m_slots.empty()) return std::nullopt;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      const std::int32_t position = m_slots[slot];
      if (position == kEmpty) return std::nullopt;
      if (isKey(static_cast<std::size_t>(position))) return position;
    }
  }

 private:
  static constexpr std::int32_t kEmpty = -1;

  template <class SameKey>
  void Put(std::int32_t position, std::size_t hash, SameKey sameKey) {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      std::int32_t& held = m_slots[slot];
      if (held == kEmpty) {
        held = position;
        ++m_used;
        return;
      }
      if (sameKey(static_cast<std::size_t>(held), static_cast<std::size_t>(position))) {
        held = position;
        return;
      }
    }
  }

  std::vector<std::int32_t> m_slots;
  std::size_t m_used = 0;
  bool m_valid = false;
};

}  // namespace vantrix
