#include "run/field_history.h"

#include <algorithm>

namespace rdsim {

namespace {

std::size_t Cells(Mode mode, std::int32_t n) {
  const auto side = static_cast<std::size_t>(std::max(n, 0));
  return mode == Mode::TwoD ? side * side : mode == Mode::OneD ? side : 0;
}

// The field now, or an empty mode when the buffers cannot hold the cells.
bool Usable(const Simulation& sim, Mode mode) {
  const std::size_t cells = Cells(mode, sim.N);
  const FieldBuffers& b = sim.buffers;
  return cells > 0 && b.U.size() >= cells && b.V.size() >= cells && b.U2.size() >= cells && b.V2.size() >= cells;
}

bool Fits(const FieldSnapshot& snapshot, const Simulation& sim, Mode mode) {
  return snapshot.mode == mode && snapshot.n == sim.N && Usable(sim, mode);
}

FieldSnapshot Take(const Simulation& sim, Mode mode, std::int64_t steps, std::string change) {
  const auto cells = static_cast<std::ptrdiff_t>(Cells(mode, sim.N));
  const Buffer& u = NewestActivator(sim, mode);
  const Buffer& v = NewestInhibitor(sim, mode);
  return {std::move(change),
          mode,
          sim.N,
          steps,
          Buffer(u.begin(), u.begin() + cells),
          Buffer(v.begin(), v.begin() + cells)};
}

std::size_t BytesOf(const FieldSnapshot& s) { return (s.u.size() + s.v.size()) * sizeof(float); }

// Drops the oldest snapshots beyond the bounds.
void Trim(std::deque<FieldSnapshot>& stack) {
  std::size_t bytes = 0;
  for (const FieldSnapshot& s : stack) bytes += BytesOf(s);
  while (!stack.empty() && (stack.size() > FieldHistory::MaxChanges || bytes > FieldHistory::MaxBytes)) {
    bytes -= BytesOf(stack.front());
    stack.pop_front();
  }
}

}  // namespace

void FieldHistory::Remember(const Simulation& sim, Mode mode, std::int64_t steps, std::string change) {
  if (!Usable(sim, mode)) return;
  redo_.clear();
  if (!undo_.empty() && !Fits(undo_.back(), sim, mode)) undo_.clear();
  undo_.push_back(Take(sim, mode, steps, std::move(change)));
  Trim(undo_);
}

bool FieldHistory::CanUndo(const Simulation& sim, Mode mode) const {
  return !undo_.empty() && Fits(undo_.back(), sim, mode);
}
bool FieldHistory::CanRedo(const Simulation& sim, Mode mode) const {
  return !redo_.empty() && Fits(redo_.back(), sim, mode);
}

bool FieldHistory::Undo(Simulation& sim, Mode mode, std::int64_t& steps) {
  return Move(undo_, redo_, sim, mode, steps);
}
bool FieldHistory::Redo(Simulation& sim, Mode mode, std::int64_t& steps) {
  return Move(redo_, undo_, sim, mode, steps);
}

bool FieldHistory::Move(Stack& from, Stack& to, Simulation& sim, Mode mode, std::int64_t& steps) {
  if (from.empty()) return false;
  if (!Fits(from.back(), sim, mode)) {
    // The field has another mode or size now: nothing older fits either.
    Forget();
    return false;
  }
  FieldSnapshot snapshot = std::move(from.back());
  from.pop_back();
  to.push_back(Take(sim, mode, steps, snapshot.change));
  Trim(to);
  // Both pairs, so that a 2D step in either direction starts from it.
  FieldBuffers& b = sim.buffers;
  for (Buffer* buffer : {&b.U, &b.U2}) std::copy(snapshot.u.begin(), snapshot.u.end(), buffer->begin());
  for (Buffer* buffer : {&b.V, &b.V2}) std::copy(snapshot.v.begin(), snapshot.v.end(), buffer->begin());
  sim.CurrentInU = true;
  steps = snapshot.steps;
  return true;
}

void FieldHistory::Forget() {
  undo_.clear();
  redo_.clear();
}

std::size_t FieldHistory::Bytes() const {
  std::size_t bytes = 0;
  for (const Stack* stack : {&undo_, &redo_})
    for (const FieldSnapshot& s : *stack) bytes += BytesOf(s);
  return bytes;
}

}  // namespace rdsim
