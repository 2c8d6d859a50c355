#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantrix {

// A cell's raw bytes in kSize bytes: a text of up to kSize - 1 bytes lives inline (no heap
// allocation; the blank " ", pings, flags and player counts all do), a longer one on the heap
// with its size beside the pointer. A million rows of std::string cells spend most of their
// memory on the strings' own 32 bytes, not on the text.
//
// Inline: the text, a NUL, and in the last byte the room left (kSize - 1 - size), which is 0
// and so doubles as the NUL for a full cell. On the heap: the pointer, the 32-bit size and
// kHeapTag in the last byte. Either way data() ends with a NUL.
template <std::size_t kSize>
class CompactText {
  static_assert(kSize >= 16 && kSize % 8 == 0 && kSize <= 128, "size must fit the tag");

 public:
  static constexpr std::size_t kInlineCapacity = kSize - 1;

  CompactText() noexcept { SetEmpty(); }
  // Implicit both ways, so that a cell reads and takes text as a string did.
  CompactText(std::string_view text) { Init(text); }
  CompactText(const char* text) : CompactText(std::string_view(text)) {}
  CompactText(const std::string& text) : CompactText(std::string_view(text)) {}
  CompactText(const CompactText& other) { Init(other.View()); }
  CompactText(CompactText&& other) noexcept {
    std::memcpy(m_bytes, other.m_bytes, kSize);
    other.SetEmpty();
  }
  ~CompactText() { Release(); }

  CompactText& operator=(const CompactText& other) {
    if (this != &other) Assign(other.View());
    return *this;
  }
  CompactText& operator=(CompactText&& other) noexcept {
    if (this != &other) {
      Release();
      std::memcpy(m_bytes, other.m_bytes, kSize);
      other.SetEmpty();
    }
    return *this;
  }
  CompactText& operator=(std::string_view text) { return Assign(text); }
  CompactText& operator=(const char* text) { return Assign(std::string_view(text)); }
  CompactText& operator=(const std::string& text) { return Assign(std::string_view(text)); }

  bool OnHeap() const noexcept { return Tag() == kHeapTag; }
  std::size_t size() const noexcept { return OnHeap() ? HeapSize() : kInlineCapacity - Tag(); }
  bool empty() const noexcept { return size() == 0; }
  const char* data() const noexcept { return OnHeap() ? HeapPointer() : m_bytes; }
  const char* begin() const noexcept { return data(); }
  const char* end() const noexcept { return data() + size(); }

  std::string_view View() const noexcept {
    if (OnHeap()) return {HeapPointer(), HeapSize()};
    return {m_bytes, kInlineCapacity - Tag()};
  }
  operator std::string_view() const noexcept { return View(); }
  std::string Str() const { return std::string(View()); }
  // The string_view forms of the few string operations callers use on a cell.
  std::size_t find(char c, std::size_t from = 0) const noexcept { return View().find(c, from); }
  std::size_t find(std::string_view text, std::size_t from = 0) const noexcept {
    return View().find(text, from);
  }
  std::string_view substr(std::size_t from, std::size_t count = std::string_view::npos) const {
    return View().substr(from, count);
  }
  bool starts_with(std::string_view prefix) const noexcept { return View().starts_with(prefix); }

  // One form covers cells, std::string, std::string_view and literals on either side.
  friend bool operator==(const CompactText& a, std::string_view b) noexcept { return a.View() == b; }
  friend bool operator==(const CompactText& a, const char* b) noexcept {
    return a.View() == std::string_view(b);
  }
  friend bool operator==(const CompactText& a, const CompactText& b) noexcept { return a.View() == b.View(); }
  // A cell against the address (texts of another size): both convert to a view, so this one
  // form keeps the comparison from being ambiguous.
  template <std::size_t kOtherSize>
  requires(kOtherSize != kSize) friend bool operator==(const CompactText& a,
                                                       const CompactText<kOtherSize>& b) noexcept {
    return a.View() == b.View();
  }
  friend bool operator==(const CompactText& a, const std::string& b) noexcept { return a.View() == b; }
  friend std::ostream& operator<<(std::ostream& out, const CompactText& text) { return out << text.View(); }

 private:
  static constexpr unsigned char kHeapTag = 0xFF;

  unsigned char Tag() const noexcept { return static_cast<unsigned char>(m_bytes[kSize - 1]); }

  const char* HeapPointer() const noexcept {
    const char* pointer = nullptr;
    std::memcpy(&pointer, m_bytes, sizeof pointer);
    return pointer;
  }
  std::size_t HeapSize() const noexcept {
    std::uint32_t size = 0;
    std::memcpy(&size, m_bytes + sizeof(char*), sizeof size);
    return size;
  }

  void SetEmpty() noexcept {
    std::memset(m_bytes, 0, kSize);
    m_bytes[kSize - 1] = static_cast<char>(kInlineCapacity);
  }

  // Fills an uninitialised (or released) cell.
  void Init(std::string_view text) {
    if (text.size() <= kInlineCapacity) {
      std::memset(m_bytes, 0, kSize);
      if (!text.empty()) std::memcpy(m_bytes, text.data(), text.size());
      m_bytes[kSize - 1] = static_cast<char>(kInlineCapacity - text.size());
      return;
    }
    if (text.size() > UINT32_MAX) throw std::length_error("cell text too long");
    char* heap = new char[text.size() + 1];
    std::memcpy(heap, text.data(), text.size());
    heap[text.size()] = '\0';
    const auto size = static_cast<std::uint32_t>(text.size());
    std::memcpy(m_bytes, &heap, sizeof heap);
    std::memcpy(m_bytes + sizeof heap, &size, sizeof size);
    std::memset(m_bytes + sizeof heap + sizeof size, 0, kSize - sizeof heap - sizeof size);
    m_bytes[kSize - 1] = static_cast<char>(kHeapTag);
  }

  void Release() noexcept {
    if (OnHeap()) delete[] HeapPointer();
  }

  // The text may point into this cell, so the new content is built before the old is freed.
  CompactText& Assign(std::string_view text) {
    CompactText fresh(text);
    return *this = std::move(fresh);
  }

  alignas(8) char m_bytes[kSize];
};

}  // namespace vantrix
