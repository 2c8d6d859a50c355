#include "core/protocol/PlayerRecord.h"

namespace vantrix {

std::optional<PlayerRecord> PlayerRecord::Read(ByteCursor& cursor) {
  ByteCursor attempt = cursor;
  if (!attempt.ReadByte()) return std::nullopt;  // index, not meaningful
  const auto name = attempt.ReadZeroTerminated();
  if (!name) return std::nullopt;
  const auto score = attempt.ReadInt32LE();
  if (!score) return std::nullopt;
  const auto seconds = attempt.ReadFloat32LE();
  if (!seconds) return std::nullopt;
  cursor = attempt;
  return PlayerRecord{*name, *score, *seconds};
}

}  // namespace vantrix
