#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "core/simulation.h"

namespace rdsim {

// The field as a hand change found it: the newest pair of the mode's cells,
// the shape they belong to and the steps run on them.
struct FieldSnapshot {
  std::string change;  // what replaced it: "Brush Stroke", "Clear"
  Mode mode = Mode::None;
  std::int32_t n = 0;
  std::int64_t steps = 0;
  Buffer u, v;
};

// Undo and redo of the changes made to the field by hand. A snapshot only
// fits the field of its own mode and size: a change of either makes the
// older snapshots unusable, and the history forgets them. Steps of a run are
// no change of their own; an undo during a run takes the field back to before
// the last hand change.
class FieldHistory {
 public:
  // Each direction keeps the newest this many snapshots and at most this many
  // bytes of them; with the largest field (128 x 128 in 2D, 128 KiB a
  // snapshot) the count is what binds: 12.5 MiB a direction.
  static constexpr std::size_t MaxChanges = 100;
  static constexpr std::size_t MaxBytes = std::size_t{32} << 20;

  // Called just before a hand change named `change` alters the field.
  void Remember(const Simulation& sim, Mode mode, std::int64_t steps, std::string change);

  // Whether Undo/Redo would restore anything into the field as it is now; the
  // name of the change they would take back or make again.
  bool CanUndo(const Simulation& sim, Mode mode) const;
  bool CanRedo(const Simulation& sim, Mode mode) const;
  std::string UndoName() const { return undo_.empty() ? std::string() : undo_.back().change; }
  std::string RedoName() const { return redo_.empty() ? std::string() : redo_.back().change; }

  // Puts the snapshot into both buffer pairs (U/V current) and gives back the
  // steps it had run; the field it replaces goes to the other direction.
  // False, with nothing changed, when there is nothing that fits.
  bool Undo(Simulation& sim, Mode mode, std::int64_t& steps);
  bool Redo(Simulation& sim, Mode mode, std::int64_t& steps);

  void Forget();
  std::size_t Bytes() const;

 private:
  using Stack = std::deque<FieldSnapshot>;
  bool Move(Stack& from, Stack& to, Simulation& sim, Mode mode, std::int64_t& steps);
  Stack undo_, redo_;
};

}  // namespace rdsim
